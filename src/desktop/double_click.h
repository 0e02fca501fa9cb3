// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A widget that reports double-clicks takes every one it gets: passed on, a
// double-click would climb to the window, whose bare surface opens the About
// box, and a line edit would select a word with it. Only the left button's
// is reported.

#include <QMouseEvent>

namespace kug {

// Takes the double-click; whether it is one to report.
inline bool takeDoubleClick(QMouseEvent* event) {
    event->accept();
    return event->button() == Qt::LeftButton;
}

} // namespace kug
