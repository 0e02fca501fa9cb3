// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A one-line parameter field: a click selects the whole text (also when the
// field already has the focus), a double-click fills in a value instead of
// selecting a word, and losing the focus to another control is reported.

#include <QLineEdit>

namespace kug {

class ParamField final : public QLineEdit {
    Q_OBJECT
public:
    explicit ParamField(QWidget* parent = nullptr);

signals:
    void clicked();
    void doubleClicked();
    void lostFocus();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace kug
