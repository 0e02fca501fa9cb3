// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the window's own widgets present themselves to assistive technology.
// Qt would show the window, a plain widget, as a role-less filler, and the
// drawing area as a frame with nothing to do. Here the window is a frame, and
// the drawing area a canvas with an action "O programu" that opens the About
// box, as a double-click on it does.

namespace kug {

// Registers the interfaces with Qt; only the first call does anything. Call it
// before the window's widgets are created.
void installAccessibleWidgets();

} // namespace kug
