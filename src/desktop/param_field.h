// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-line parameter field: a click selects the whole text (also when the
// field already has the focus), a double-click fills in a value instead of
// selecting a word, and losing the focus to another control is reported.
//
// A text that arrives any other way than by typing into the focused field (a
// drop or a paste into an unfocused field, an assistive tool setting it) is
// reported at once, so that it is validated like a text the user leaves. A
// disabled field refuses such a text: the parameters cannot change under a
// running ball.

#include <QLineEdit>

namespace kug {

class ParamField final : public QLineEdit {
    Q_OBJECT
public:
    explicit ParamField(QWidget* parent = nullptr);

    // The program's own writes (defaults, bounds, corrections): never
    // reported as a change from outside.
    void write(const QString& text);

signals:
    void clicked();
    void doubleClicked();
    void lostFocus();
    void changedFromOutside();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void textChangedTo(const QString& text);

    QString shown_;         // the text as last accepted into the field
    bool writing_ = false;  // inside write()
    bool userEdit_ = false; // the change under way is an edit by the user
};

} // namespace kug
