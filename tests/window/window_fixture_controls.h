// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Driving the real window the way a user does: show and activate it, find its
// controls by name, click buttons and check boxes, type into the fields and
// move the focus on, and catch the About box a double-click opens.

#include "app/main_window.h"
#include "scripted_random.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

namespace kug::test {

// A window whose random source plays back `script`; `random` (if given) is
// pointed at the source so that a test can count the numbers drawn.
inline std::unique_ptr<MainWindow> makeWindow(std::vector<double> script = {0.7, 0.2, 0.9, 0.4},
                                              ScriptedRandom** random = nullptr) {
    auto source = std::make_unique<ScriptedRandom>(std::move(script));
    if (random)
        *random = source.get();
    return std::make_unique<MainWindow>(std::move(source));
}

// Shown, exposed and active, so that clicks move the focus as they do on a
// desktop (a field is validated when it loses the focus).
[[nodiscard]] inline bool showActive(QWidget& w) {
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return false;
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

// The control named `name`; a missing control ends the test program, since
// nothing after it could be checked.
template <typename T> T& control(const QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s of the expected type", name);
    return *found;
}

inline void clickButton(const QWidget& w, const char* name) {
    QTest::mouseClick(&control<QPushButton>(w, name), Qt::LeftButton);
}

// Clicks the check box on its indicator, where a click toggles it whatever
// the length of its caption.
inline void clickCheckBox(const QWidget& w, const char* name) {
    auto& box = control<QCheckBox>(w, name);
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator =
        box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    QTest::mouseClick(&box, Qt::LeftButton, {}, indicator.center());
}

// Clicks into the field (which selects its text), types `text` over it and
// clicks the drawing area, so that the field loses the focus and is accepted.
inline void enterText(const QWidget& w, const char* field, const QString& text) {
    auto& edit = control<QLineEdit>(w, field);
    QTest::mouseClick(&edit, Qt::LeftButton);
    QTest::keyClicks(&edit, text);
    QTest::mouseClick(&control<QWidget>(w, "simarea"), Qt::LeftButton);
}

// What the About box showed while it was open.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
};

// Double-clicks `target` at `pos` and reports the modal message box it
// opened, if any. The box runs its own event loop, so a timer started before
// the double-click is the only code that can see it and close it.
inline std::optional<SeenBox> doubleClickForBox(QWidget* target, QPoint pos = {},
                                                Qt::MouseButton button = Qt::LeftButton) {
    std::optional<SeenBox> seen;
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&seen, &closer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        closer.stop();
        seen = SeenBox{box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                       box->windowModality() != Qt::NonModal};
        box->done(QMessageBox::Ok);
    });
    closer.start();
    QTest::mouseDClick(target, button, {}, pos);
    closer.stop();
    return seen;
}

} // namespace kug::test
