// SPDX-License-Identifier: GPL-3.0-or-later
// The mode switches through the real check boxes: "Brza simulacija" moves the
// enabled states between the speed controls and the loop box, "Teorijska
// raspodjela" redraws the board with or without the theoretical bars.

#include "field_fixture_picture.h"
#include "window_driver.h"

#include <QLabel>
#include <QTest>

using namespace kug;
using namespace kug::test;

class TestSwitches : public QObject {
    Q_OBJECT
private slots:
    void fastModeEnabledStates_data();
    void fastModeEnabledStates();
    void soundBoxStaysDisabled();
    void theorySwitchRedrawsWithoutRecomputing();

private:
    static void toggle(QCheckBox* box, bool byKeyboard);
};

void TestSwitches::toggle(QCheckBox* box, bool byKeyboard) {
    if (byKeyboard) {
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Space);
    } else {
        WindowDriver::click(box);
    }
}

void TestSwitches::fastModeEnabledStates_data() {
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("mouse") << false;
    QTest::newRow("space bar") << true;
}

void TestSwitches::fastModeEnabledStates() {
    QFETCH(bool, byKeyboard);
    WindowDriver fx;
    QVERIFY(fx.open());
    QCheckBox* brza = fx.box("brzachk");
    QCheckBox* petlja = fx.box("petljachk");
    QCheckBox* trag = fx.box("tragchk");
    QCheckBox* teorija = fx.box("teorijskachk");
    QWidget* brzinalbl = fx.widget("brzinalbl");
    QLineEdit* brzinatxt = fx.field("brzinatxt");

    // Ticks that the toggles must leave alone: the trace box now, the loop
    // box once it becomes usable.
    toggle(trag, byKeyboard);
    QVERIFY(trag->isChecked());
    for (int round = 1; round <= 4; ++round) {
        toggle(brza, byKeyboard);
        const bool fast = round % 2 == 1;
        QCOMPARE(brza->isChecked(), fast);
        QCOMPARE(trag->isEnabled(), !fast);
        QCOMPARE(brzinalbl->isEnabled(), !fast);
        QCOMPARE(brzinatxt->isEnabled(), !fast);
        QCOMPARE(petlja->isEnabled(), fast);
        if (round == 1)
            toggle(petlja, byKeyboard);
        QVERIFY(trag->isChecked());
        QVERIFY(petlja->isChecked());
        QVERIFY(!teorija->isChecked());
        QVERIFY(!fx.box("Check1")->isEnabled());
        QVERIFY(!fx.window().timmy().isEnabled());
    }
}

void TestSwitches::soundBoxStaysDisabled() {
    WindowDriver fx;
    QVERIFY(fx.open());
    QCheckBox* zvuk = fx.box("Check1");
    QVERIFY(!zvuk->isEnabled());
    WindowDriver::click(zvuk);
    QVERIFY(!zvuk->isChecked());
    WindowDriver::click(fx.box("brzachk"));
    WindowDriver::click(fx.box("brzachk"));
    WindowDriver::click(fx.box("teorijskachk"));
    QVERIFY(!zvuk->isEnabled());
    QVERIFY(!zvuk->isChecked());
}

void TestSwitches::theorySwitchRedrawsWithoutRecomputing() {
    WindowDriver fx;
    QVERIFY(fx.open());
    BoardState& s = fx.state();
    QLineEdit* stupci = fx.field("stupcitxt");
    QLineEdit* kuglice = fx.field("kuglicetxt");
    WindowDriver::enter(stupci, "10");
    QTest::keyClick(stupci, Qt::Key_Tab);
    WindowDriver::enter(kuglice, "100");
    QTest::keyClick(kuglice, Qt::Key_Tab);
    // 100 x C(9, k - 1) / 2^9: 0.195, 1.76, 7.03, 16.4, 24.6 from the outside in.
    const int expected[] = {0, 2, 7, 16, 25, 25, 16, 7, 2, 0};
    for (int k = 1; k <= 10; ++k)
        QCOMPARE(int(s.theoryCounts(k)), expected[k - 1]);
    QCOMPARE(pixelsOf(fx.picture(), lightGreen), 0);

    // Altered by hand: a recomputation would put 25 back.
    s.theoryCounts(5) = 3;
    QCheckBox* teorija = fx.box("teorijskachk");
    WindowDriver::click(teorija);
    QVERIFY(teorija->isChecked());
    QCOMPARE(int(s.theoryCounts(5)), 3);

    const QImage shown = fx.picture();
    const auto walls = binWalls(shown, black);
    QCOMPARE(int(walls.size()), 11);
    for (int k = 1; k <= 10; ++k) {
        const int count = s.theoryCounts(k);
        // A bar stands one pixel above the floor and is count x barUnit tall
        // above its first row; a bin with no expected balls shows none.
        const int height = count > 0 ? count * s.barUnit + 1 : 0;
        QCOMPARE(barHeight(shown, walls, k, lightGreen), height);
    }
    QCOMPARE(barHeight(shown, walls, 1, lightGreen), 0);
    QCOMPARE(barHeight(shown, walls, 10, lightGreen), 0);
    QVERIFY(barHeight(shown, walls, 5, lightGreen) < barHeight(shown, walls, 4, lightGreen));

    WindowDriver::click(teorija);
    QVERIFY(!teorija->isChecked());
    QCOMPARE(int(s.theoryCounts(5)), 3);
    QCOMPARE(pixelsOf(fx.picture(), lightGreen), 0);
    QCOMPARE(binWalls(fx.picture(), black), walls);
}

QTEST_MAIN(TestSwitches)
#include "test_switches.moc"
