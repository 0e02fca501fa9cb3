// SPDX-License-Identifier: GPL-3.0-or-later
// The page's entry points: start-up, the user's events, each handed to the
// form as a control's number and an event's, a new size of the window (its
// resize grip, maximise, full screen, an app's window), a change of the
// board's scale, the animation frame, which runs the ticks due and paints
// once, and the end of the board description's hold. The page first runs
// the ticks due by an event's moment as the event arrives (kug_events_due),
// before it reaches its target: the handlers it calls then run no ticks of
// their own.

#include "app/form.h"
#include "web/web_view.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>

using namespace kug;

namespace {

struct Page {
    WebView view;
    Form form{view, nullptr}; // the program's own random stream
};

Page* page = nullptr;

// The form of a page still running; none after the exit button.
Form* live() {
    return page && !page->view.hasQuit() ? &page->form : nullptr;
}

} // namespace

extern "C" {

// Lays the window out as the desktop does: the designed places, the frames
// fitted to the captions as the page's font draws them, the start-up size,
// then Form_Load.
EMSCRIPTEN_KEEPALIVE void kug_start(int scale) {
    if (page)
        return;
    page = new Page;
    page->view.setScale(scale);
    page->form.start();
}

// The least inner size of the window (axis 0 the width).
EMSCRIPTEN_KEEPALIVE int kug_minimum(int axis) {
    if (!page)
        return 0;
    const Extent least = page->view.minimumInner();
    return axis == 0 ? least.w : least.h;
}

// The window's new inner size, never below the minimum: a resize.
EMSCRIPTEN_KEEPALIVE void kug_resize(int width, int height) {
    Form* form = live();
    if (!form)
        return;
    const Extent least = page->view.minimumInner();
    const Extent size{std::max(width, least.w), std::max(height, least.h)};
    if (size == page->view.innerSize())
        return;
    const TickClock::Event inside(form->clock(), false);
    page->view.resizeInner(size);
    form->Form_Resize();
}

EMSCRIPTEN_KEEPALIVE void kug_set_scale(int scale) {
    if (live())
        page->view.setScale(scale);
}

// One animation frame at `nowMs` (the page's clock): the ball's ticks that
// fell due, one by one, the loop's tick if due, then one paint. Returns
// whether the page needs another frame.
EMSCRIPTEN_KEEPALIVE int kug_frame(double nowMs) {
    Form* form = live();
    if (!form)
        return 0;
    form->clock().runDue(static_cast<std::int64_t>(nowMs * 1e6));
    page->view.paint();
    return page->view.wantsFrames() ? 1 : 0;
}

// An event arrives: the ticks due by now run before it reaches its target.
EMSCRIPTEN_KEEPALIVE void kug_events_due() {
    if (Form* form = live()) {
        const TickClock::Event arrived(form->clock());
    }
}

// Every tick run so far (the loop's among them), for the page's benchmarks.
EMSCRIPTEN_KEEPALIVE double kug_ticks() {
    return page ? static_cast<double>(page->form.clock().ticksRun()) : 0;
}

// A user's event on a control (its kug::Control number; -1 for the window's
// bare surface), its kug::UserEvent number as the page was told. Returns
// whether the form handles it.
EMSCRIPTEN_KEEPALIVE int kug_event(int control, int event) {
    Form* form = live();
    const bool known = control >= -1 && control < static_cast<int>(controlCount) && event >= 0 &&
                       event < static_cast<int>(std::size(userEventNames));
    if (!form || !known)
        return 0;
    const TickClock::Event inside(form->clock(), false);
    const std::optional<Control> target =
        control < 0 ? std::nullopt : std::optional(controlAt(static_cast<std::size_t>(control)));
    return form->handle(target, static_cast<UserEvent>(event)) ? 1 : 0;
}

// The board description's hold is over: the last one offered meanwhile, if
// any, is published.
EMSCRIPTEN_KEEPALIVE void kug_description_released() {
    if (live())
        page->view.releaseDescription();
}
}
