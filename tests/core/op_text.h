// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Readable one-line descriptions of recorded drawing operations, so that a
// failing comparison of whole operation lists shows the first differing step.

#include "recording_surface.h"

#include <QString>
#include <QStringList>

namespace kug::test {

inline QString num(float v) {
    return QString::number(double(v), 'g', 9);
}

inline QString opText(const Op& op) {
    switch (op.kind) {
    case Op::Cls:
        return QStringLiteral("Cls");
    case Op::FillStyle:
        return QStringLiteral("FillStyle %1").arg(op.color);
    case Op::FillColor:
        return QStringLiteral("FillColor %1").arg(op.color);
    case Op::Circle:
        return QStringLiteral("Circle (%1, %2) r %3 colour %4")
            .arg(num(op.a), num(op.b), num(op.c))
            .arg(op.color);
    case Op::Line:
        return QStringLiteral("Line (%1, %2)-(%3, %4) colour %5")
            .arg(num(op.a), num(op.b), num(op.c), num(op.d))
            .arg(op.color);
    case Op::Box:
        return QStringLiteral("Box (%1, %2)-(%3, %4) colour %5")
            .arg(num(op.a), num(op.b), num(op.c), num(op.d))
            .arg(op.color);
    case Op::Print:
        return QStringLiteral("Print ") + QString::fromStdString(op.text);
    }
    return {};
}

inline QStringList opTexts(const std::vector<Op>& ops) {
    QStringList out;
    for (const Op& op : ops)
        out << opText(op);
    return out;
}

inline QString circleText(float x, float y, float r, long color) {
    return opText({Op::Circle, x, y, r, 0, color, {}});
}
inline QString lineText(float x1, float y1, float x2, float y2, long color) {
    return opText({Op::Line, x1, y1, x2, y2, color, {}});
}
inline QString boxText(float x1, float y1, float x2, float y2, long color) {
    return opText({Op::Box, x1, y1, x2, y2, color, {}});
}

} // namespace kug::test
