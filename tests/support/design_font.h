// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tests of the designed geometry run with Debian's default desktop font,
// DejaVu Sans 9 pt at 96 dpi, whatever the machine's own font is: the frames
// fit their captions to the font, and the figures these tests check are the
// ones this font gives.

#include <QApplication>
#include <QFont>

namespace kug::test {

inline void pinDesignFont() {
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

} // namespace kug::test
