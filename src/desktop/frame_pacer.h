// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hands a widget's changes to the screen at most once a frame. At speed 100
// the ball moves a thousand times a second, each move drawn into the retained
// picture at once, but a screen shows 60 (or 120, or 144) frames a second: the
// rectangles touched since the last frame are gathered into a few
// (DirtyRegion: a moving ball's overlapping ones into one, distant ones kept
// apart), the widget may narrow them down to what differs from the screen,
// and it repaints that region when the screen can show the next frame.
// On Wayland the compositor's frame callbacks say when (QWindow's update
// request); elsewhere, where an update request is only a short timer, the
// screen's refresh rate does. Nothing is scheduled while nothing changes.

#include "render/dirty_region.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

class QWidget;

namespace kug {

class FramePacer final : public QObject {
    Q_OBJECT
public:
    explicit FramePacer(QWidget* widget);

    // `r` (widget coordinates) has changed and must reach the screen.
    void changed(const QRect& r);
    // What of the changed rectangles is to be repainted; all of them unless
    // the widget says otherwise.
    using Narrowing = std::function<QRegion(const std::vector<QRect>&)>;
    void setNarrowing(Narrowing narrowing) { narrowing_ = std::move(narrowing); }
    // Whether a frame is waiting for its turn.
    bool isWaiting() const { return !pending_.isEmpty(); }
    // The clock's wake-ups come once a frame: what changes from now on waits
    // for presentNow(), which repaints it at once.
    void beginBatch() { batch_ = true; }
    void presentNow();
    // The shortest time between two repaints, in milliseconds, and the
    // screen's refresh period in nanoseconds.
    int framePeriodMs() const;
    std::int64_t framePeriodNs() const;

    // Whether the window's update requests come with the compositor's frames
    // (only on Wayland); elsewhere they are only a short timer.
    static bool framesFromCompositor();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();
    void present();

    QWidget* widget_;
    DirtyRegion pending_;
    Narrowing narrowing_;
    QTimer timer_{this}; // a child, so that it counts among the window's timers
    QElapsedTimer sincePresent_;
    bool frameRequested_ = false; // an update request to the window is under way
    bool batch_ = false;          // a batch of ticks is under way
};

} // namespace kug
