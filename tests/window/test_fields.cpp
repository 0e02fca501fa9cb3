// SPDX-License-Identifier: GPL-3.0-or-later
// The three parameter fields through the real widgets: a click selects the
// whole text, a double-click fills in the upper bound, and leaving the field in
// any way corrects its text into a whole number within bounds, after which the
// board follows.

#include "field_fixture_picture.h"
#include "window_driver.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMimeData>
#include <QTest>

using namespace kug;
using namespace kug::test;

Q_DECLARE_METATYPE(kug::test::Entry)
Q_DECLARE_METATYPE(kug::test::FocusMove)

namespace {

// The start-up ball bound: 1.5 x (8 x 21 - 1) for the designed window.
constexpr const char* maxBalls = "250";

constexpr const char* fieldNames[] = {"stupcitxt", "kuglicetxt", "brzinatxt"};

// Records the reasons of the focus-out events a widget receives.
class FocusOutRecorder final : public QObject {
public:
    explicit FocusOutRecorder(QWidget* w) { w->installEventFilter(this); }
    QList<Qt::FocusReason> reasons;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FocusOut)
            reasons.append(static_cast<QFocusEvent*>(e)->reason());
        return false;
    }
};

} // namespace

class TestFields : public QObject {
    Q_OBJECT
private slots:
    void leavingCorrectsText_data();
    void leavingCorrectsText();
    void clickSelectsAll_data();
    void clickSelectsAll();
    void doubleClickFillsBound_data();
    void doubleClickFillsBound();
    void doubleClickColumnsThenLeave();
    void doubleClickSpeedThenLeave();
    void doubleClickBallsKeepsStartUpBound();
    void tabThroughColumnsClearsCounts_data();
    void tabThroughColumnsClearsCounts();
    void tabThroughBallsKeepsCounts_data();
    void tabThroughBallsKeepsCounts();
    void tabThroughSpeedSetsInterval();
    void playRightAfterTypingUsesCorrectedText_data();
    void playRightAfterTypingUsesCorrectedText();
    void switchingWindowsDoesNotValidate();
    void contextMenuDoesNotValidate();
    void textFromOutside_data();
    void textFromOutside();
};

// ---- Leaving a field ---------------------------------------------------------

// The wiring of the correction: whatever way a text gets in and however the
// focus leaves, the field ends up corrected and the board follows. The
// correction itself, text by text, is the number rules' own table.
void TestFields::leavingCorrectsText_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<FocusMove>("how");
    QTest::addColumn<QString>("shown");
    for (const char* name : fieldNames) {
        const QString f = QString::fromLatin1(name);
        for (const FocusMove how : allFocusMoves)
            QTest::addRow("%s 7abc, %s", name, focusMoveName(how))
                << f << "7abc" << Entry::Typed << how << "7";
        // Pasting is the one way control characters get in; an input method
        // brings characters beyond Latin-1.
        QTest::addRow("%s tab pasted", name)
            << f << "\t8" << Entry::Pasted << FocusMove::Tab << "8";
        QTest::addRow("%s z caron", name)
            << f << QString::fromUtf8("5\u017e") << Entry::Typed << FocusMove::DrawingArea << "5";
        QTest::addRow("%s beyond 16 bits", name) << f << "99999" << Entry::Typed << FocusMove::Tab
                                                 << (f == "stupcitxt"    ? "32"
                                                     : f == "kuglicetxt" ? maxBalls
                                                                         : "100");
    }
    // More than the field holds: the paste is cut at its maximum length.
    QTest::newRow("kuglicetxt 100000 digits pasted")
        << "kuglicetxt" << QString(100000, QLatin1Char('9')) << Entry::Pasted << FocusMove::Tab
        << maxBalls;
}

void TestFields::leavingCorrectsText() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(Entry, entry);
    QFETCH(FocusMove, how);
    QFETCH(QString, shown);

    WindowDriver fx;
    QVERIFY(fx.open());
    QLineEdit* f = fx.field(field.toLatin1().constData());
    WindowDriver::enter(f, text, entry);
    QVERIFY(f->hasFocus());
    // The text really is in the field (as much as the field holds).
    QCOMPARE(f->text(), text.left(f->maxLength()));
    fx.leave(f, how);
    QVERIFY(!f->hasFocus());

    QCOMPARE(f->text(), shown);
    // The board agrees with the corrected text.
    const int value = shown.toInt();
    if (field == QLatin1String("stupcitxt")) {
        QCOMPARE(fx.window().settings().columns, value);
        QCOMPARE(fx.state().binCounts.upper(), value);
        QCOMPARE(fx.state().theoryCounts.upper(), value);
        QCOMPARE(binsDrawn(fx.picture(), black), value);
    } else if (field == QLatin1String("brzinatxt")) {
        QCOMPARE(fx.window().timmy().interval(), 101 - value);
    }
}

// ---- Click and double-click --------------------------------------------------

void TestFields::clickSelectsAll_data() {
    QTest::addColumn<QString>("field");
    for (const char* name : fieldNames)
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestFields::clickSelectsAll() {
    QFETCH(QString, field);
    WindowDriver fx;
    QVERIFY(fx.open());
    QLineEdit* f = fx.field(field.toLatin1().constData());

    // First click: the field takes the focus by mouse, which alone selects
    // nothing.
    WindowDriver::click(f);
    QVERIFY(f->hasFocus());
    QCOMPARE(f->selectedText(), f->text());
    WindowDriver::type(f, "12");
    QCOMPARE(f->text(), QStringLiteral("12"));

    // Further clicks while the field has the focus, at the left end and in
    // the middle: the press puts the caret there, the click selects again.
    QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(3, f->height() / 2));
    QCOMPARE(f->selectedText(), QStringLiteral("12"));
    WindowDriver::click(f);
    QCOMPARE(f->selectedText(), QStringLiteral("12"));
    WindowDriver::type(f, "5");
    QCOMPARE(f->text(), QStringLiteral("5"));
}

void TestFields::doubleClickFillsBound_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("bound");
    QTest::newRow("columns") << "stupcitxt"
                             << "32";
    QTest::newRow("balls") << "kuglicetxt" << maxBalls;
    QTest::newRow("speed") << "brzinatxt"
                           << "100";
}

void TestFields::doubleClickFillsBound() {
    QFETCH(QString, field);
    QFETCH(QString, bound);
    WindowDriver fx;
    QVERIFY(fx.open());
    QLineEdit* f = fx.field(field.toLatin1().constData());
    // Two words, so that a word selection would leave part of the text.
    WindowDriver::enter(f, "5 6");
    QTest::mouseDClick(f, Qt::LeftButton);
    QCOMPARE(f->text(), bound);
    // Nothing follows until the field loses the focus.
    QCOMPARE(fx.window().settings().columns, 2);
    QCOMPARE(fx.window().timmy().interval(), 100);
    QCOMPARE(int(fx.state().barUnit), 167);
    QTest::keyClick(f, Qt::Key_Tab);
    QCOMPARE(f->text(), bound);
}

void TestFields::doubleClickColumnsThenLeave() {
    WindowDriver fx;
    QVERIFY(fx.open());
    // 100 balls, so that the theoretical distribution over 32 bins is not all
    // zeros: 100 x C(31, 15) / 2^31 = 13.995 in each of the two middle bins.
    WindowDriver::enter(fx.field("kuglicetxt"), "100");
    QTest::keyClick(fx.field("kuglicetxt"), Qt::Key_Tab);
    QLineEdit* f = fx.field("stupcitxt");
    WindowDriver::click(f);
    QTest::mouseDClick(f, Qt::LeftButton);
    QCOMPARE(f->text(), QStringLiteral("32"));
    QCOMPARE(binsDrawn(fx.picture(), black), 2);

    WindowDriver::click(fx.area());
    const BoardState& s = fx.state();
    QCOMPARE(s.binCounts.upper(), 32);
    QCOMPARE(s.theoryCounts.upper(), 32);
    QCOMPARE(int(s.theoryCounts(16)), 14);
    QCOMPARE(int(s.theoryCounts(17)), 14);
    QCOMPARE(int(s.theoryCounts(1)), 0);
    QCOMPARE(binsDrawn(fx.picture(), black), 32);
}

void TestFields::doubleClickSpeedThenLeave() {
    WindowDriver fx;
    QVERIFY(fx.open());
    // Straight onto the field, without a click to give it the focus first.
    QLineEdit* f = fx.field("brzinatxt");
    QTest::mouseDClick(f, Qt::LeftButton);
    QVERIFY(f->hasFocus());
    QCOMPARE(f->text(), QStringLiteral("100"));
    QCOMPARE(fx.window().timmy().interval(), 100);
    QTest::keyClick(f, Qt::Key_Tab);
    QCOMPARE(fx.window().timmy().interval(), 1);
    QVERIFY(!fx.window().timmy().isEnabled());
}

void TestFields::doubleClickBallsKeepsStartUpBound() {
    WindowDriver fx;
    QVERIFY(fx.open());
    // A larger window would allow more balls, but the bound stays the
    // start-up one.
    fx.window().resize(900, 700);
    QTRY_COMPARE(fx.window().size(), QSize(900, 700));
    QVERIFY(fx.state().cellSize > 21);
    QLineEdit* f = fx.field("kuglicetxt");
    WindowDriver::click(f);
    QTest::mouseDClick(f, Qt::LeftButton);
    QCOMPARE(f->text(), QString::fromLatin1(maxBalls));
    QTest::keyClick(f, Qt::Key_Tab);
    QCOMPARE(f->text(), QString::fromLatin1(maxBalls));
}

// ---- Consequences of leaving a field -----------------------------------------

// Leaving a field without changing it, in every way but the play button
// (which starts a fresh run of its own).
static void addPlainFocusMoves() {
    QTest::addColumn<FocusMove>("how");
    for (const FocusMove how : allFocusMoves)
        if (how != FocusMove::Button)
            QTest::newRow(focusMoveName(how)) << how;
}

void TestFields::tabThroughColumnsClearsCounts_data() {
    addPlainFocusMoves();
}

void TestFields::tabThroughColumnsClearsCounts() {
    QFETCH(FocusMove, how);
    WindowDriver fx;
    QVERIFY(fx.open());
    BoardState& s = fx.state();
    s.binCounts(1) = 3;
    s.binCounts(2) = 4;
    fx.window().form().plotKV();
    QVERIFY(pixelsOf(fx.picture(), red) > 0);

    QLineEdit* f = fx.field("stupcitxt");
    WindowDriver::click(f);
    fx.leave(f, how);
    QCOMPARE(f->text(), QStringLiteral("2"));
    QCOMPARE(int(s.binCounts(1)), 0);
    QCOMPARE(int(s.binCounts(2)), 0);
    QCOMPARE(pixelsOf(fx.picture(), red), 0);
}

// Leaving the ball field keeps the counts of a finished run when the count
// stays, and redraws them at the recomputed bar unit; another ball count
// clears them, as their bars would be drawn at a false scale.
void TestFields::tabThroughBallsKeepsCounts_data() {
    QTest::addColumn<FocusMove>("how");
    QTest::addColumn<QString>("typed"); // empty: the text is left as it is
    QTest::addColumn<int>("kept");      // count left in bin 1
    QTest::addColumn<int>("unit");
    for (const FocusMove how : allFocusMoves)
        if (how != FocusMove::Button)
            QTest::addRow("%s, unchanged", focusMoveName(how)) << how << QString() << 1 << 167;
    QTest::newRow("drawing area, another count") << FocusMove::DrawingArea << "3" << 0 << 84;
}

void TestFields::tabThroughBallsKeepsCounts() {
    QFETCH(FocusMove, how);
    QFETCH(QString, typed);
    QFETCH(int, kept);
    QFETCH(int, unit);
    WindowDriver fx;
    QVERIFY(fx.open());
    BoardState& s = fx.state();
    s.binCounts(1) = 1;
    s.barUnit = 5;
    fx.window().form().plotKV();
    const auto walls = binWalls(fx.picture(), black);
    QCOMPARE(barHeight(fx.picture(), walls, 1, red), 1 * 5 + 1);

    QLineEdit* f = fx.field("kuglicetxt");
    if (typed.isEmpty())
        WindowDriver::click(f);
    else
        WindowDriver::enter(f, typed);
    fx.leave(f, how);
    QCOMPARE(int(s.binCounts(1)), kept);
    QCOMPARE(int(s.barUnit), unit);
    // Redrawn with the new unit: one ball now fills the bin, or none is left.
    QCOMPARE(barHeight(fx.picture(), walls, 1, red), kept == 0 ? 0 : kept * unit + 1);
}

void TestFields::tabThroughSpeedSetsInterval() {
    WindowDriver fx;
    QVERIFY(fx.open());
    fx.window().clock().setInterval(Timer::Timmy, 55);
    QLineEdit* f = fx.field("brzinatxt");
    WindowDriver::click(f);
    QTest::keyClick(f, Qt::Key_Tab);
    QCOMPARE(fx.window().timmy().interval(), 100);
    QVERIFY(!fx.window().timmy().isEnabled());
}

// ---- Focus semantics -------------------------------------------------------------

void TestFields::playRightAfterTypingUsesCorrectedText_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("fast");
    QTest::newRow("columns, animated") << "stupcitxt"
                                       << "50" << false;
    QTest::newRow("columns, fast") << "stupcitxt"
                                   << "50" << true;
    QTest::newRow("balls, animated") << "kuglicetxt"
                                     << "1000" << false;
    QTest::newRow("speed, animated") << "brzinatxt"
                                     << "500" << false;
}

void TestFields::playRightAfterTypingUsesCorrectedText() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(bool, fast);
    WindowDriver fx;
    QVERIFY(fx.open());
    const BoardState& s = fx.state();
    if (fast)
        WindowDriver::click(fx.box("brzachk"));
    QLineEdit* f = fx.field(field.toLatin1().constData());
    WindowDriver::enter(f, typed);
    QCOMPARE(f->text(), typed);
    WindowDriver::click(fx.button("startcmd"));

    // The field was corrected before the run read it.
    if (field == QLatin1String("stupcitxt")) {
        QCOMPARE(f->text(), QStringLiteral("32"));
        QCOMPARE(fx.window().settings().columns, 32);
        QCOMPARE(s.binCounts.upper(), 32);
        QCOMPARE(binsDrawn(fx.picture(), black), 32);
    } else if (field == QLatin1String("kuglicetxt")) {
        QCOMPARE(f->text(), QString::fromLatin1(maxBalls));
        QCOMPARE(int(s.ballsLeft), 250);
        QCOMPARE(int(s.barUnit), 1);
    } else {
        QCOMPARE(f->text(), QStringLiteral("100"));
        QCOMPARE(fx.window().timmy().interval(), 1);
    }
    if (!fast)
        QVERIFY(fx.window().timmy().isEnabled());
    WindowDriver::click(fx.button("fullstopcmd"));
}

void TestFields::switchingWindowsDoesNotValidate() {
    WindowDriver fx;
    QVERIFY(fx.open());
    BoardState& s = fx.state();
    QLineEdit* f = fx.field("stupcitxt");
    WindowDriver::enter(f, "50");
    s.binCounts(1) = 5;
    FocusOutRecorder recorder(f);

    QWidget other;
    other.resize(120, 80);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!f->hasFocus());
    QCOMPARE(recorder.reasons, QList<Qt::FocusReason>{Qt::ActiveWindowFocusReason});
    QCOMPARE(f->text(), QStringLiteral("50"));
    QCOMPARE(int(s.binCounts(1)), 5);
    QCOMPARE(fx.window().settings().columns, 2);

    // Back in the window the field still has the focus; leaving it validates.
    fx.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fx.window()));
    QVERIFY(f->hasFocus());
    QTest::keyClick(f, Qt::Key_Tab);
    QCOMPARE(f->text(), QStringLiteral("32"));
    QCOMPARE(int(s.binCounts(1)), 0);
}

void TestFields::contextMenuDoesNotValidate() {
    WindowDriver fx;
    QVERIFY(fx.open());
    QLineEdit* f = fx.field("stupcitxt");
    WindowDriver::enter(f, "50");
    FocusOutRecorder recorder(f);

    // The field's own context menu: the field is told it lost the focus to
    // a popup.
    QContextMenuEvent request(QContextMenuEvent::Mouse, f->rect().center(),
                              f->mapToGlobal(f->rect().center()));
    QApplication::sendEvent(f, &request);
    QWidget* menu = QApplication::activePopupWidget();
    QVERIFY(menu != nullptr);
    QCOMPARE(recorder.reasons, QList<Qt::FocusReason>{Qt::PopupFocusReason});
    QCOMPARE(f->text(), QStringLiteral("50"));
    QCOMPARE(fx.window().settings().columns, 2);
    menu->close();
    QCOMPARE(f->text(), QStringLiteral("50"));
    QCOMPARE(fx.window().settings().columns, 2);
}

// A text that reaches a field while another control has the focus, dropped
// or set directly as an assistive tool does, is validated at once; while a
// run holds the parameter frame disabled, the field refuses it.
void TestFields::textFromOutside_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("drop"); // else set directly
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("columns"); // accepted afterwards
    QTest::addColumn<int>("barUnit");
    QTest::addColumn<int>("interval");
    // The drop lands after the field's text "2", "1" or "1".
    QTest::newRow("set columns") << "stupcitxt" << false << "9" << false << "9" << 9 << 167 << 100;
    QTest::newRow("set columns beyond")
        << "stupcitxt" << false << "50" << false << "32" << 32 << 167 << 100;
    QTest::newRow("drop on columns")
        << "stupcitxt" << true << "7" << false << "27" << 27 << 167 << 100;
    QTest::newRow("set balls") << "kuglicetxt" << false << "3.5" << false << "4" << 2 << 84 << 100;
    QTest::newRow("drop on balls")
        << "kuglicetxt" << true << "0" << false << "10" << 2 << 33 << 100;
    QTest::newRow("set speed") << "brzinatxt" << false << "abc" << false << "1" << 2 << 167 << 100;
    QTest::newRow("drop on speed") << "brzinatxt" << true << "9" << false << "19" << 2 << 167 << 82;
    QTest::newRow("set columns while running")
        << "stupcitxt" << false << "9" << true << "2" << 2 << 167 << 100;
    QTest::newRow("drop on balls while running")
        << "kuglicetxt" << true << "5" << true << "1" << 2 << 167 << 100;
}

void TestFields::textFromOutside() {
    QFETCH(QString, field);
    QFETCH(bool, drop);
    QFETCH(QString, text);
    QFETCH(bool, running);
    QFETCH(QString, shown);
    QFETCH(int, columns);
    QFETCH(int, barUnit);
    QFETCH(int, interval);
    WindowDriver fx;
    QVERIFY(fx.open());
    if (running)
        WindowDriver::click(fx.button("startcmd"));
    else
        WindowDriver::click(fx.area());
    QLineEdit* f = fx.field(field.toLatin1().constData());
    QVERIFY(!f->hasFocus());
    if (drop) {
        QMimeData data;
        data.setText(text);
        const QPoint at = f->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f, &dropped);
    } else {
        f->setText(text);
    }
    QCOMPARE(f->text(), shown);
    QCOMPARE(fx.window().settings().columns, columns);
    QCOMPARE(binsDrawn(fx.picture(), black), columns);
    QCOMPARE(int(fx.state().barUnit), barUnit);
    QCOMPARE(fx.window().timmy().interval(), interval);
    QCOMPARE(fx.window().timmy().isEnabled(), running);
}

QTEST_MAIN(TestFields)
#include "test_fields.moc"
