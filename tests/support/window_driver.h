// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Driving the real Kuglovica window the way a user does, for the window
// tests, the randomised sessions and the benchmarks alike: show and activate
// it, find its controls by name, click buttons and check boxes, type or paste
// into the fields and move the focus on, set the run up the short way, and
// catch the About box a double-click opens.

#include "desktop/main_window.h"
#include "desktop/sim_area.h"
#include "scripted_random.h"

#include <QCheckBox>
#include <QEvent>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace kug::test {

// The control named `name`; a missing control ends the program, since
// nothing after it could be checked.
template <typename T> T& control(const QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s of the expected type", name);
    return *found;
}

// How a text gets into a field: typed key by key, or pasted from the
// clipboard (the only way control characters and very long texts get in).
enum class Entry { Typed, Pasted };

// How the focus leaves a field.
enum class FocusMove { Tab, OtherField, CheckBox, Button, DrawingArea };
const char* focusMoveName(FocusMove how);
inline constexpr FocusMove allFocusMoves[] = {FocusMove::Tab, FocusMove::OtherField,
                                              FocusMove::CheckBox, FocusMove::Button,
                                              FocusMove::DrawingArea};

// What the About box showed while it was open.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool modal = false;
};

// Counts the repaints a widget receives.
class RepaintCounter final : public QObject {
public:
    explicit RepaintCounter(QWidget* w) { w->installEventFilter(this); }
    long paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

class WindowDriver {
public:
    // A window of its own whose random source plays back `script`; `random`
    // (if given) is pointed at the source so that a test can count the
    // numbers drawn.
    explicit WindowDriver(std::vector<double> script = {0.7, 0.2, 0.9, 0.4},
                          ScriptedRandom** random = nullptr);
    // A window of its own with the given source (none: the program's own).
    explicit WindowDriver(std::unique_ptr<RandomSource> random);
    // Someone else's window.
    explicit WindowDriver(MainWindow& window) : window_(window) {}

    MainWindow& window() const { return window_; }
    MainWindow& operator*() const { return window_; }
    MainWindow* operator->() const { return &window_; }
    BoardState& state() const { return window_.state(); }

    template <typename T> T& control(const char* name) const {
        return test::control<T>(window_, name);
    }
    QLineEdit* field(const char* name) const { return &control<QLineEdit>(name); }
    QCheckBox* box(const char* name) const { return &control<QCheckBox>(name); }
    QPushButton* button(const char* name) const { return &control<QPushButton>(name); }
    QWidget* widget(const char* name) const { return &control<QWidget>(name); }
    SimArea* area() const;
    // The retained picture of the drawing area, as it stands.
    QImage picture() const;

    // Shown, exposed and active, so that clicks move the focus as they do on
    // a desktop (a field is validated when it loses the focus).
    [[nodiscard]] bool open();
    // Shown and painted, waiting on the event loop alone: no timer of the
    // test's own runs beside the window's.
    void showExposed();
    // Made the active window again (after a box or another window).
    void makeActive();
    // Delivers everything pending, the repaints included.
    static void settle();

    // A click in the middle of a control, or at `pos` in it.
    static void click(QWidget* w, QPoint pos = {});
    void clickButton(const char* name) const;
    // Clicks the check box on its indicator, where a click toggles it whatever
    // the length of its caption.
    void clickCheckBox(const char* name) const;
    // Clicks into the field (which selects its whole text) and enters `text`
    // over the selection.
    static void enter(QLineEdit* field, const QString& text, Entry how = Entry::Typed);
    // Key by key; characters outside Latin-1 arrive as key events that carry
    // only their text, as an input method delivers them.
    static void type(QWidget* w, const QString& text);
    // Takes the focus away from `field` the way `how` says. A click on the
    // play button starts a run, which the abort button ends again.
    void leave(QLineEdit* field, FocusMove how);
    // Enters `text` into the field and clicks the drawing area, so that the
    // field loses the focus and is accepted.
    void enterText(const char* field, const QString& text);
    // Keys to whatever has the focus (the window if nothing has).
    void sendKey(Qt::Key key, Qt::KeyboardModifiers mods = {}) const;
    void typeIntoFocus(const QString& text) const { type(keyTarget(), text); }
    QWidget* keyTarget() const;
    // Double-clicks `target` at `pos` with `button` and reports the modal
    // box it opened, if any, which it closes again.
    static std::optional<SeenBox> doubleClickForBox(QWidget* target, QPoint pos = {},
                                                    Qt::MouseButton button = Qt::LeftButton);

    // The run set up the short way: a field's text set as an assistive tool
    // sets it (validated at once), a switch clicked into the state wanted, the
    // handlers of the run buttons called.
    void setField(const char* name, const QString& text) const;
    void setColumns(int columns) const;
    // 0 takes the largest count the field accepts, as a double-click does.
    void setBalls(int balls) const;
    void setSpeed(int speed) const;
    void setChecked(const char* name, bool on) const;
    void start() const { window_.form().startcmd_Click(); }
    void abort() const { window_.form().fullstopcmd_Click(); }
    // Resizes the window's inner area and lets the platform deliver it; the
    // resize ends any run.
    void resizeInner(QSize size) const;

private:
    std::unique_ptr<MainWindow> owned_;
    MainWindow& window_;
};

} // namespace kug::test
