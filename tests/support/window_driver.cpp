// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_driver.h"

#include "desktop/sim_area.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>

namespace kug::test {

namespace {

std::unique_ptr<MainWindow> scriptedWindow(std::vector<double> script, ScriptedRandom** random) {
    auto source = std::make_unique<ScriptedRandom>(std::move(script));
    if (random)
        *random = source.get();
    return std::make_unique<MainWindow>(std::move(source));
}

} // namespace

const char* focusMoveName(FocusMove how) {
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

WindowDriver::WindowDriver(std::vector<double> script, ScriptedRandom** random)
    : owned_(scriptedWindow(std::move(script), random)), window_(*owned_) {}

WindowDriver::WindowDriver(std::unique_ptr<RandomSource> random)
    : owned_(std::make_unique<MainWindow>(std::move(random))), window_(*owned_) {}

SimArea* WindowDriver::area() const {
    return &control<SimArea>("simarea");
}

QImage WindowDriver::picture() const {
    return area()->picture().copy();
}

bool WindowDriver::open() {
    window_.show();
    if (!QTest::qWaitForWindowExposed(&window_))
        return false;
    window_.activateWindow();
    return QTest::qWaitForWindowActive(&window_);
}

void WindowDriver::showExposed() {
    window_.show();
    for (int i = 0; i < 2000 && !(window_.windowHandle() && window_.windowHandle()->isExposed());
         ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qSleep(1);
    }
    settle();
}

void WindowDriver::makeActive() {
    settle();
    if (window_.isMinimized() || QApplication::activeWindow() == &window_)
        return;
    window_.activateWindow();
    for (int i = 0; i < 100 && QApplication::activeWindow() != &window_; ++i)
        settle();
}

void WindowDriver::settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void WindowDriver::click(QWidget* w, QPoint pos) {
    QTest::mouseClick(w, Qt::LeftButton, {}, pos);
}

void WindowDriver::clickButton(const char* name) const {
    click(button(name));
}

void WindowDriver::clickCheckBox(const char* name) const {
    QCheckBox* b = box(name);
    QStyleOptionButton option;
    option.initFrom(b);
    const QRect indicator = b->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, b);
    click(b, indicator.center());
}

void WindowDriver::enter(QLineEdit* field, const QString& text, Entry how) {
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

void WindowDriver::type(QWidget* w, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.unicode() >= 0x20 && ch.unicode() < 0x7F) {
            QTest::keyClick(w, ch.toLatin1());
            continue;
        }
        // A character outside the basic plane arrives as one surrogate pair.
        const qsizetype len = ch.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, text.mid(i, len), Qt::NoModifier);
        i += len - 1;
    }
}

void WindowDriver::leave(QLineEdit* f, FocusMove how) {
    switch (how) {
    case FocusMove::Tab:
        QTest::keyClick(f, Qt::Key_Tab);
        break;
    case FocusMove::OtherField:
        click(f->objectName() == QLatin1String("stupcitxt") ? field("kuglicetxt")
                                                            : field("stupcitxt"));
        break;
    case FocusMove::CheckBox:
        click(box("tragchk"));
        break;
    case FocusMove::Button:
        clickButton("startcmd");
        clickButton("fullstopcmd");
        break;
    case FocusMove::DrawingArea:
        click(area());
        break;
    }
}

void WindowDriver::enterText(const char* name, const QString& text) {
    QLineEdit* f = field(name);
    click(f);
    type(f, text);
    click(area());
}

QWidget* WindowDriver::keyTarget() const {
    QWidget* f = QApplication::focusWidget();
    return f ? f : &window_;
}

void WindowDriver::sendKey(Qt::Key key, Qt::KeyboardModifiers mods) const {
    QTest::keyClick(keyTarget(), key, mods);
}

namespace {

// Catches the modal box that opens and closes it again. The box runs its own
// event loop, so only something posted before it opened can see it: a call
// that posts itself again until the box is there. Timers would not do, as a
// session holds back every timer's ticks to deliver them itself.
class BoxCatcher final : public QObject {
public:
    BoxCatcher() { post(); }
    std::optional<SeenBox> seen;

private:
    void post() { QMetaObject::invokeMethod(this, &BoxCatcher::look, Qt::QueuedConnection); }
    void look() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            post();
            return;
        }
        seen = SeenBox{box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                       box->windowModality() != Qt::NonModal};
        box->done(QMessageBox::Ok);
    }
};

} // namespace

std::optional<SeenBox> WindowDriver::doubleClickForBox(QWidget* target, QPoint pos,
                                                       Qt::MouseButton button) {
    BoxCatcher catcher;
    // Press, release, double-click, release, as a mouse sends them. The
    // first click may already change the window (a button that starts a
    // run); a target that went away takes no further events.
    QPointer<QWidget> alive(target);
    QTest::mousePress(target, button, {}, pos);
    if (alive)
        QTest::mouseRelease(target, button, {}, pos);
    if (alive)
        QTest::mouseDClick(target, button, {}, pos);
    if (alive)
        QTest::mouseRelease(target, button, {}, pos);
    return catcher.seen;
}

void WindowDriver::setField(const char* name, const QString& text) const {
    field(name)->setText(text);
}

void WindowDriver::setColumns(int columns) const {
    setField("stupcitxt", QString::number(columns));
}

void WindowDriver::setBalls(int balls) const {
    setField("kuglicetxt", QString::number(balls > 0 ? balls : window_.state().maxBalls));
}

void WindowDriver::setSpeed(int speed) const {
    setField("brzinatxt", QString::number(speed));
}

void WindowDriver::setChecked(const char* name, bool on) const {
    QCheckBox* b = box(name);
    if (b->isChecked() != on)
        b->click(); // runs the switch's click handler like a user's click
}

void WindowDriver::resizeInner(QSize size) const {
    window_.resize(size);
    settle();
}

} // namespace kug::test
