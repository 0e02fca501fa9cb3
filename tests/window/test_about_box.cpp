// SPDX-License-Identifier: GPL-3.0-or-later
// The About box: only a double-click on the bare window surface or on the
// drawing area opens it; every other control keeps its double-clicks.

#include "design_font.h"
#include "desktop/main_window.h"
#include "window_fixture_runs.h"

#include <QTest>

using namespace kug;
using namespace kug::test;

class TestAboutBox : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { pinDesignFont(); }
    void doubleClick_data();
    void doubleClick();
    void openDuringLoop();
};

void TestAboutBox::doubleClick_data() {
    QTest::addColumn<QString>("target"); // a control's name, or "" for the window itself
    QTest::addColumn<QPoint>("pos");     // in the target; a null point means its centre
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("right"); // the right mouse button, else the left

    // Bare surface: above the parameter frame, in the gap between the drawing
    // area and the frames, and below the button frame.
    QTest::newRow("window above params") << QString() << QPoint(320, 2) << true << false;
    QTest::newRow("window between areas") << QString() << QPoint(240, 150) << true << false;
    QTest::newRow("window below gumbi") << QString() << QPoint(320, 330) << true << false;
    QTest::newRow("drawing area") << QStringLiteral("simarea") << QPoint() << true << false;
    QTest::newRow("drawing area border")
        << QStringLiteral("simarea") << QPoint(1, 1) << true << false;

    QTest::newRow("params frame") << QStringLiteral("params") << QPoint(3, 60) << false << false;
    QTest::newRow("gumbi frame") << QStringLiteral("gumbi") << QPoint(3, 3) << false << false;
    QTest::newRow("label") << QStringLiteral("kuglicelbl") << QPoint() << false << false;
    QTest::newRow("check box") << QStringLiteral("teorijskachk") << QPoint() << false << false;
    QTest::newRow("disabled check box") << QStringLiteral("Check1") << QPoint() << false << false;
    QTest::newRow("disabled loop box") << QStringLiteral("petljachk") << QPoint() << false << false;
    // A double-click on a button is first a click for it: on play it starts
    // a run (exit, which would end the program, is left to the tests on a
    // real display).
    QTest::newRow("button") << QStringLiteral("startcmd") << QPoint() << false << false;
    QTest::newRow("disabled button") << QStringLiteral("stopcmd") << QPoint() << false << false;
    QTest::newRow("text field") << QStringLiteral("brzinatxt") << QPoint() << false << false;
    QTest::newRow("drawing area, right button")
        << QStringLiteral("simarea") << QPoint() << false << true;
    QTest::newRow("window, right button") << QString() << QPoint(240, 150) << false << true;
}

void TestAboutBox::doubleClick() {
    QFETCH(QString, target);
    QFETCH(QPoint, pos);
    QFETCH(bool, opens);
    QFETCH(bool, right);

    WindowDriver window;
    QVERIFY(window.open());
    QWidget* receiver = target.isEmpty() ? &*window : window.widget(target.toLatin1().constData());
    if (target.isEmpty())
        QCOMPARE(window->childAt(pos), nullptr); // really the bare surface

    const std::optional<SeenBox> seen =
        WindowDriver::doubleClickForBox(receiver, pos, right ? Qt::RightButton : Qt::LeftButton);
    QCOMPARE(seen.has_value(), opens);
    if (!opens)
        return;
    QCOMPARE(seen->title, QStringLiteral("Kuglovica"));
    QString text = seen->text;
    text.remove(QLatin1Char('\r'));
    QCOMPARE(text.split(QLatin1Char('\n')),
             QStringList({QStringLiteral("Simulator Kuglovice,"), QStringLiteral("verzija 1")}));
    QCOMPARE(seen->icon, QMessageBox::Information);
    QCOMPARE(seen->buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(seen->modal);
    // Closing it changes nothing.
    QCOMPARE(runRow(*window), idleRow);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

// The box can be opened while the fast simulation loops; the loop goes on.
void TestAboutBox::openDuringLoop() {
    WindowDriver window;
    QVERIFY(window.open());
    window.clickCheckBox("brzachk");
    window.clickCheckBox("petljachk");
    window.clickButton("startcmd");
    QCOMPARE(runRow(*window), loopingRow);

    const std::optional<SeenBox> seen = WindowDriver::doubleClickForBox(window.widget("simarea"));
    QVERIFY(seen.has_value());
    QCOMPARE(seen->title, QStringLiteral("Kuglovica"));
    QCOMPARE(runRow(*window), loopingRow);
    window.clickButton("fullstopcmd");
    QCOMPARE(runRow(*window), idleRow);
}

QTEST_MAIN(TestAboutBox)
#include "test_about_box.moc"
