// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/param_field.h"

#include "desktop/double_click.h"

#include <QFocusEvent>
#include <QMouseEvent>

#include <utility>

namespace kug {

ParamField::ParamField(QWidget* parent) : QLineEdit(parent) {
    // A user's edit (keys, paste, drop, undo) is announced just before the
    // change itself; a set from outside comes without it.
    connect(this, &QLineEdit::textEdited, this, [this] { userEdit_ = true; });
    connect(this, &QLineEdit::textChanged, this, &ParamField::textChangedTo);
}

void ParamField::write(const QString& text) {
    const bool nested = std::exchange(writing_, true);
    setText(text);
    writing_ = nested;
}

void ParamField::textChangedTo(const QString& text) {
    const bool typed = std::exchange(userEdit_, false) && hasFocus();
    if (writing_) {
        shown_ = text;
        return;
    }
    if (!isEnabled()) {
        write(shown_);
        return;
    }
    shown_ = text;
    if (!typed)
        emit changedFromOutside();
}

void ParamField::mouseReleaseEvent(QMouseEvent* event) {
    // Let the line edit place the caret first, then select over it.
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

void ParamField::mouseDoubleClickEvent(QMouseEvent* event) {
    if (takeDoubleClick(event))
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
