// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area: a sunken 2-pixel frame around a retained picture. It takes
// the focus when clicked, so a parameter field is validated before anything
// else happens, and reports double-clicks for the About box.

#include "app/frame_pacer.h"
#include "render/image_surface.h"

#include <QFrame>

namespace kug {

class SimArea final : public QFrame {
    Q_OBJECT
public:
    explicit SimArea(QWidget* parent = nullptr);

    // The surface the board draws on, sized to the inner area of the frame.
    Surface& surface();
    // The picture as it stands (for tests and screenshots).
    const QImage& picture() { return surface_.image(); }
    // What hands the picture's changes to the screen, a frame at a time.
    const FramePacer& pacer() const { return *pacer_; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void syncGeometry();

    ImageSurface surface_;
    FramePacer* pacer_;
};

} // namespace kug
