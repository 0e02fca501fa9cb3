// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The drawing area: a sunken frame around a retained picture. It takes the
// focus when clicked, so a parameter field is validated before anything else
// happens, and reports double-clicks for the About box.
//
// For assistive technology it is described in words (what the board shows); a
// description that changes often reaches the tools at most a few times a
// second, the last one always (app/description_hold.h).

#include "app/description_hold.h"
#include "desktop/frame_pacer.h"
#include "desktop/image_surface.h"

#include <QFrame>
#include <QTimer>

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
    FramePacer& pacer() { return *pacer_; }

    // The picture in words, after a drawing. Published at once when the last
    // publication is older than the hold time, else when that time is up.
    void describe(const QString& text);
    // Asks for the About box as a double-click does, but only once the event
    // loop runs again: the box is modal, and an assistive tool that asked for
    // it must have its reply first.
    void requestAbout();
    // A published description holds back the next one (for tests).
    bool isDescriptionHeld() const { return descriptionHold_.isHeld(); }

signals:
    void doubleClicked();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void syncGeometry();
    void publishDescription(const std::optional<std::string>& text);

    ImageSurface surface_;
    FramePacer* pacer_;
    DescriptionHold descriptionHold_;
    QTimer descriptionRelease_{this}; // a child, so that it counts among the window's timers
};

} // namespace kug
