// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technology is told, at the widget level: how often the
// board's description changes, that it says what the last drawing showed, and
// that the board's About action opens the modal box only after the tool's
// request has returned. (Names, roles and states as a screen reader reads them
// are checked over AT-SPI by the a11y tests.)

#include "desktop/main_window.h"
#include "desktop/param_field.h"
#include "desktop/sim_area.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kug;

namespace {

template <typename T> T* child(MainWindow& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    Q_ASSERT(found);
    return found;
}

// The board's description once no change is held back any more.
QString settledDescription(SimArea& area) {
    if (!QTest::qWaitFor([&] { return !area.isDescriptionHeld(); }, 5000))
        return QStringLiteral("(still held)");
    return area.accessibleDescription();
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void descriptionHold_data();
    void descriptionHold();
    void descriptionFollowsTheDrawing();
    void aboutActionOpensAfterTheRequest();
};

void TestAccessibility::descriptionHold_data() {
    // Steps: "text" describes the board so; "=text" the tools have text now;
    // "~text" they have it once the hold runs out; "free" no hold is running.
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("idle: at once") << QStringList{"a", "=a", "free", "=a"};
    QTest::newRow("a burst: the first at once, the last after the hold")
        << QStringList{"a", "b", "c", "=a", "~c"};
    QTest::newRow("publishing the last starts a new hold")
        << QStringList{"a", "b", "~b", "c", "=b", "~c"};
    QTest::newRow("the hold runs out, the next is at once")
        << QStringList{"a", "b", "~b", "free", "c", "=c"};
    QTest::newRow("an unchanged text starts no hold")
        << QStringList{"a", "free", "a", "free", "b", "=b"};
    QTest::newRow("back to the published text within the hold: nothing new")
        << QStringList{"a", "b", "a", "~a", "free", "c", "=c"};
}

void TestAccessibility::descriptionHold() {
    QFETCH(QStringList, steps);
    SimArea area;
    for (const QString& step : steps) {
        if (step == QLatin1String("free"))
            QTRY_VERIFY_WITH_TIMEOUT(!area.isDescriptionHeld(), 5000);
        else if (step.startsWith(u'='))
            QCOMPARE(area.accessibleDescription(), step.mid(1));
        else if (step.startsWith(u'~'))
            QTRY_COMPARE_WITH_TIMEOUT(area.accessibleDescription(), step.mid(1), 5000);
        else
            area.describe(step);
    }
}

// The description is what was drawn: kept counts after a run, and counts an
// abort cleared but the picture still shows.
void TestAccessibility::descriptionFollowsTheDrawing() {
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* area = child<SimArea>(w, "simarea");
    QCOMPARE(area->accessibleName(), QString::fromUtf8(designOf(Control::simarea).accessibleName));
    QCOMPARE(settledDescription(*area), QStringLiteral("Stupci: 0, 0"));

    // Texts set from outside are taken at once and redraw the board.
    child<ParamField>(w, "stupcitxt")->setText(QStringLiteral("3"));
    child<ParamField>(w, "kuglicetxt")->setText(QStringLiteral("8"));
    child<QCheckBox>(w, "teorijskachk")->setChecked(true);
    // 8 x (1/4, 1/2, 1/4)
    QCOMPARE(settledDescription(*area),
             QStringLiteral("Stupci: 0, 0, 0\nTeorijska raspodjela: 2, 4, 2"));

    // An animated run, ticked by hand up to its first landing.
    child<QPushButton>(w, "startcmd")->click();
    w.clock().setEnabled(Timer::Timmy, false);
    QCOMPARE(settledDescription(*area),
             QStringLiteral("Još 8 kuglica.\nStupci: 0, 0, 0\nTeorijska raspodjela: 2, 4, 2"));
    while (w.state().ballsLeft == 8)
        w.form().Timmy_Timer();
    const QString landed = settledDescription(*area);
    QVERIFY2(landed.startsWith(QStringLiteral("Još 7 kuglica.\nStupci: ")), qPrintable(landed));
    // Moves between landings draw only the ball: the words stay.
    for (int tick = 0; tick < 3 && w.state().ballsLeft == 7; ++tick)
        w.form().Timmy_Timer();
    QCOMPARE(settledDescription(*area), landed);

    // The abort clears the counts, not the picture.
    child<QPushButton>(w, "fullstopcmd")->click();
    for (int k = 1; k <= 3; ++k)
        QCOMPARE(int(w.state().binCounts(k)), 0);
    QCOMPARE(settledDescription(*area), landed);
}

void TestAccessibility::aboutActionOpensAfterTheRequest() {
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QAccessibleInterface* board =
        QAccessible::queryAccessibleInterface(w.findChild<SimArea*>(QStringLiteral("simarea")));
    QVERIFY(board);
    QCOMPARE(board->role(), QAccessible::Canvas);
    QAccessibleActionInterface* actions = board->actionInterface();
    QVERIFY(actions);
    const QString about = QStringLiteral("O programu");
    QVERIFY(actions->actionNames().contains(about));
    QVERIFY(!actions->localizedActionDescription(about).isEmpty());

    // Closes the About box as soon as it is open, and says so.
    QString shown;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    closer.start(10);
    actions->doAction(about);
    // Opened inside the request, the box would already have come and gone.
    QVERIFY(shown.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(shown, QStringLiteral("Simulator Kuglovice,\nverzija 1"), 5000);
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
