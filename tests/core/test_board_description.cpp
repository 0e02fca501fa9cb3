// SPDX-License-Identifier: GPL-3.0-or-later
// The board in words: the remaining-balls line, the bin counts and the
// theoretical counts, and that the words say what the drawing shows.

#include "recording_surface.h"
#include "render/board_description.h"
#include "render/plot_kv.h"
#include "state/board_state.h"

#include <QTest>

#include <vector>

using namespace kug;
using kug::test::Op;
using kug::test::RecordingSurface;

namespace {

// A board of `arraySize` bins holding `counts` and `theory` from bin 1 on.
BoardState boardWith(int arraySize, const std::vector<int>& counts, const std::vector<int>& theory,
                     int ballsLeft) {
    BoardState s;
    loadDefaults(s);
    s.binCounts.redim(arraySize);
    s.theoryCounts.redim(arraySize);
    for (std::size_t i = 0; i < counts.size(); ++i)
        s.binCounts(int(i) + 1) = Integer(counts[i]);
    for (std::size_t i = 0; i < theory.size(); ++i)
        s.theoryCounts(int(i) + 1) = Integer(theory[i]);
    s.ballsLeft = Integer(ballsLeft);
    s.barUnit = 1;
    return s;
}

using Counts = std::vector<int>;

} // namespace

Q_DECLARE_METATYPE(Counts)

class TestBoardDescription : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void firstLineIsThePrintedOne_data();
    void firstLineIsThePrintedOne();
};

void TestBoardDescription::lines_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("arraySize");
    QTest::addColumn<Counts>("counts");
    QTest::addColumn<Counts>("theory");
    QTest::addColumn<int>("ballsLeft");
    QTest::addColumn<bool>("fast");
    QTest::addColumn<bool>("showTheory");
    QTest::addColumn<QString>("text");

    QTest::newRow("start-up board")
        << 2 << 2 << Counts{} << Counts{} << 0 << false << false << QStringLiteral("Stupci: 0, 0");
    QTest::newRow("animated, 3 to come") << 2 << 2 << Counts{1, 0} << Counts{} << 3 << false
                                         << false << QStringLiteral("Još 3 kuglice.\nStupci: 1, 0");
    QTest::newRow("animated, 1 to come")
        << 3 << 3 << Counts{0, 2, 1} << Counts{} << 1 << false << false
        << QStringLiteral("Još 1 kuglica.\nStupci: 0, 2, 1");
    QTest::newRow("animated, 12 to come") << 2 << 2 << Counts{} << Counts{} << 12 << false << false
                                          << QStringLiteral("Još 12 kuglica.\nStupci: 0, 0");
    // A fast run prints no line, whatever is left.
    QTest::newRow("fast, balls left") << 4 << 4 << Counts{1, 3, 3, 1} << Counts{} << 8 << true
                                      << false << QStringLiteral("Stupci: 1, 3, 3, 1");
    QTest::newRow("finished run keeps its counts")
        << 5 << 5 << Counts{2, 9, 14, 8, 1} << Counts{} << 0 << false << false
        << QStringLiteral("Stupci: 2, 9, 14, 8, 1");
    QTest::newRow("with the theory")
        << 3 << 3 << Counts{1, 2, 1} << Counts{1, 2, 1} << 0 << true << true
        << QStringLiteral("Stupci: 1, 2, 1\nTeorijska raspodjela: 1, 2, 1");
    QTest::newRow("all three lines")
        << 2 << 2 << Counts{0, 1} << Counts{2, 2} << 3 << false << true
        << QStringLiteral("Još 3 kuglice.\nStupci: 0, 1\nTeorijska raspodjela: 2, 2");
    // Bins beyond the arrays hold nothing and show nothing.
    QTest::newRow("columns beyond the arrays")
        << 4 << 2 << Counts{5, 6} << Counts{7, 8} << 0 << true << true
        << QStringLiteral("Stupci: 5, 6, 0, 0\nTeorijska raspodjela: 7, 8, 0, 0");
    QTest::newRow("largest count") << 2 << 2 << Counts{32767, 0} << Counts{} << 0 << true << false
                                   << QStringLiteral("Stupci: 32767, 0");
}

void TestBoardDescription::lines() {
    QFETCH(int, columns);
    QFETCH(int, arraySize);
    QFETCH(Counts, counts);
    QFETCH(Counts, theory);
    QFETCH(int, ballsLeft);
    QFETCH(bool, fast);
    QFETCH(bool, showTheory);
    QFETCH(QString, text);
    const BoardState s = boardWith(arraySize, counts, theory, ballsLeft);
    const std::string got =
        boardDescription(s, RunSettings{columns, 1, 1}, Switches{fast, false, false, showTheory},
                         "Teorijska raspodjela");
    QCOMPARE(QString::fromStdString(got), text);
}

void TestBoardDescription::firstLineIsThePrintedOne_data() {
    QTest::addColumn<int>("ballsLeft");
    QTest::addColumn<bool>("fast");
    QTest::newRow("animated, 21 left") << 21 << false;
    QTest::newRow("animated, none left") << 0 << false;
    QTest::newRow("fast, 21 left") << 21 << true;
}

// The description starts with a remaining-balls line exactly when the drawing
// printed one, and with the same words.
void TestBoardDescription::firstLineIsThePrintedOne() {
    QFETCH(int, ballsLeft);
    QFETCH(bool, fast);
    BoardState s = boardWith(3, {}, {}, ballsLeft);
    const RunSettings settings{3, 30, 1};
    const Switches switches{fast, false, false, false};
    RecordingSurface area(232, 351);
    plotKV(s, area, settings, switches);
    const auto prints = area.of(Op::Print);
    const QStringList lines =
        QString::fromStdString(boardDescription(s, settings, switches, "Teorijska raspodjela"))
            .split(u'\n');
    QCOMPARE(lines.size(), int(prints.size()) + 1);
    if (!prints.empty())
        QCOMPARE(lines.first(), QString::fromStdString(prints.front().text));
}

QTEST_APPLESS_MAIN(TestBoardDescription)
#include "test_board_description.moc"
