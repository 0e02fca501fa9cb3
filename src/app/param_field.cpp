// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/param_field.h"

#include <QFocusEvent>
#include <QMouseEvent>

namespace kug {

ParamField::ParamField(QWidget* parent) : QLineEdit(parent) {}

void ParamField::mouseReleaseEvent(QMouseEvent* event) {
    // Let the line edit place the caret first, then select over it.
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

void ParamField::mouseDoubleClickEvent(QMouseEvent* event) {
    // Not passed on: the line edit would select a word.
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void ParamField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The window losing activation or a context menu opening leaves the focus
    // with the field as far as the form is concerned.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        emit lostFocus();
}

} // namespace kug
