// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A shown and active Kuglovica window, with the user's ways of entering a text
// into a parameter field and of taking the focus away from it again.

#include "app/main_window.h"
#include "app/sim_area.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace kug::test {

// How a text gets into a field: typed key by key, or pasted from the
// clipboard (the only way control characters and very long texts get in).
enum class Entry { Typed, Pasted };

// How the focus leaves a field.
enum class FocusMove { Tab, OtherField, CheckBox, Button, DrawingArea };

inline const char* focusMoveName(FocusMove how) {
    switch (how) {
    case FocusMove::Tab:
        return "tab";
    case FocusMove::OtherField:
        return "other field";
    case FocusMove::CheckBox:
        return "check box";
    case FocusMove::Button:
        return "button";
    case FocusMove::DrawingArea:
        return "drawing area";
    }
    return "?";
}

inline constexpr FocusMove allFocusMoves[] = {FocusMove::Tab, FocusMove::OtherField,
                                              FocusMove::CheckBox, FocusMove::Button,
                                              FocusMove::DrawingArea};

class WindowFixture {
public:
    explicit WindowFixture(std::unique_ptr<RandomSource> random = nullptr)
        : window_(std::make_unique<MainWindow>(std::move(random))) {}

    MainWindow& window() { return *window_; }
    BoardState& state() { return window_->state(); }

    // Shows the window and makes it the active one, so that clicks and keys
    // move the keyboard focus as they do for a user.
    bool open() {
        window_->show();
        window_->activateWindow();
        return QTest::qWaitForWindowExposed(window_.get()) &&
               QTest::qWaitForWindowActive(window_.get());
    }

    QLineEdit* field(const char* name) { return child<QLineEdit>(name); }
    QCheckBox* box(const char* name) { return child<QCheckBox>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    SimArea* area() { return child<SimArea>("simarea"); }
    QWidget* widget(const char* name) { return child<QWidget>(name); }

    // The retained picture of the drawing area, as it stands.
    QImage picture() { return area()->picture().copy(); }

    // A click in the middle of a control.
    static void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

    // Clicks into the field (which selects its whole text) and enters `text`
    // over the selection.
    static void enter(QLineEdit* field, const QString& text, Entry how = Entry::Typed) {
        click(field);
        if (how == Entry::Pasted) {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        } else if (text.isEmpty()) {
            QTest::keyClick(field, Qt::Key_Backspace); // clears the selection
        } else {
            type(field, text);
        }
    }

    // Key by key; characters outside Latin-1 arrive as key events that carry
    // only their text, as an input method delivers them.
    static void type(QWidget* w, const QString& text) {
        for (const QChar ch : text) {
            if (ch.unicode() >= 0x20 && ch.unicode() < 0x7F)
                QTest::keyClick(w, ch.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }

    // Takes the focus away from `field` the way `how` says. A click on the
    // play button starts a run, which the abort button ends again.
    void leave(QLineEdit* field, FocusMove how) {
        switch (how) {
        case FocusMove::Tab:
            QTest::keyClick(field, Qt::Key_Tab);
            break;
        case FocusMove::OtherField:
            click(field->objectName() == QLatin1String("stupcitxt") ? this->field("kuglicetxt")
                                                                    : this->field("stupcitxt"));
            break;
        case FocusMove::CheckBox:
            click(box("tragchk"));
            break;
        case FocusMove::Button:
            click(button("startcmd"));
            click(button("fullstopcmd"));
            break;
        case FocusMove::DrawingArea:
            click(area());
            break;
        }
    }

private:
    template <typename T> T* child(const char* name) {
        T* w = window_->findChild<T*>(QString::fromLatin1(name));
        if (w == nullptr)
            qFatal("no control named %s", name);
        return w;
    }

    std::unique_ptr<MainWindow> window_;
};

} // namespace kug::test
