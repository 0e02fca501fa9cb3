// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window's handlers need of the controls, the clock and the window
// itself, whatever draws them: the desktop's widgets or a web page. The form
// (form.h) holds the handlers' logic and works through this alone; its
// timers run on its clock (tick_clock.h), which the view reads and wakes.

#include "app/controls.h"
#include "app/tick_clock.h"
#include "render/surface.h"

#include <string>

namespace kug {

// What a user does to a control (or to the window's bare surface) that the
// form may handle: the events of its handlers' names.
enum class UserEvent { Click, DblClick, LostFocus };
inline constexpr const char* userEventNames[] = {"Click", "DblClick", "LostFocus"};

class FormView : public ClockSource {
public:
    virtual void setEnabled(Control control, bool enabled) = 0;
    // Whether the keyboard focus is on `control` or on a control inside it.
    virtual bool holdsFocus(Control control) const = 0;
    virtual void setFocus(Control control) = 0;
    // Position and size, in pixels of the container's inside.
    virtual void place(Control control, const Box& box) = 0;

    virtual std::string text(Control field) const = 0;
    // The program's own write of a field's text: not a change to validate.
    virtual void setText(Control field, const std::string& text) = 0;
    virtual void selectAll(Control field) = 0;
    // Only a tick counts as ticked (a grey box does not).
    virtual bool isChecked(Control box) const = 0;
    // The program's own tick or untick: not a click to handle.
    virtual void setChecked(Control box, bool ticked) = 0;

    // What a control's caption (or a field's text) needs in the view's font,
    // and where a frame starts its contents below its caption.
    virtual Extent captionNeed(Control control) const = 0;
    virtual int contentsTop(Control frame) const = 0;

    // The window's inner size in pixels; `resizeInner` asks for another.
    virtual Extent innerSize() const = 0;
    virtual void resizeInner(Extent size) = 0;
    // The least inner size the window may be given.
    virtual void setMinimumInner(Extent size) = 0;
    virtual bool isMinimized() const = 0;
    virtual void setTitle(const std::string& title) = 0;

    // The drawing area's surface, sized to its inside as it stands.
    virtual Surface& board() = 0;
    // The board's picture in words, for assistive technology.
    virtual void describeBoard(const std::string& text) = 0;
    // A modal box with the information icon and an OK button.
    virtual void showAbout(const std::string& title, const std::string& text) = 0;
    // Ends the program at once.
    virtual void quit() = 0;
};

} // namespace kug
