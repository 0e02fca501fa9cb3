// SPDX-License-Identifier: GPL-3.0-or-later
// The theoretical distribution: round-half-even(b * C(n - 1, k - 1) / 2^(n - 1))
// per bin, checked against the documented table and against exact integer
// arithmetic for every column count.

#include "render/theory_fill.h"
#include "state/board_state.h"

#include <QTest>

#include <cstdint>
#include <vector>

using namespace kug;

namespace {

// b * C(n - 1, k - 1) / 2^(n - 1), rounded half to even, in exact integers.
std::vector<int> exactTheory(int n, std::uint64_t balls) {
    std::vector<int> out;
    std::uint64_t binom = 1; // C(n - 1, k - 1)
    const int shift = n - 1;
    const std::uint64_t half = shift == 0 ? 0 : std::uint64_t{1} << (shift - 1);
    for (int k = 1; k <= n; ++k) {
        const std::uint64_t num = balls * binom;
        std::uint64_t q = num >> shift;
        const std::uint64_t rem = num - (q << shift);
        if (shift > 0 && (rem > half || (rem == half && (q & 1))))
            ++q;
        out.push_back(int(q));
        binom = binom * std::uint64_t(n - k) / std::uint64_t(k);
    }
    return out;
}

QList<int> filled(int columns, int balls, int upper = 32) {
    BoardState s;
    loadDefaults(s);
    s.theoryCounts.redim(upper);
    theoryfill(s, RunSettings{columns, Integer(balls), 1});
    QList<int> out;
    for (int k = 1; k <= columns; ++k)
        out << s.theoryCounts(k);
    return out;
}

QList<int> toList(const std::vector<int>& v) {
    return QList<int>(v.begin(), v.end());
}

} // namespace

class TestTheoryFill : public QObject {
    Q_OBJECT
private slots:
    void examples_data();
    void examples();
    void exactForEveryColumnCount_data();
    void exactForEveryColumnCount();
    void entriesBeyondColumnsKept();
    void shortArray();
};

void TestTheoryFill::examples_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("balls");
    QTest::addColumn<QList<int>>("counts");
    QTest::newRow("2 cols 1 ball") << 2 << 1 << QList<int>{0, 0};
    QTest::newRow("2 cols 3 balls") << 2 << 3 << QList<int>{2, 2};
    QTest::newRow("2 cols 5 balls") << 2 << 5 << QList<int>{2, 2};
    QTest::newRow("3 cols 2 balls") << 3 << 2 << QList<int>{0, 1, 0};
    QTest::newRow("5 cols 100") << 5 << 100 << QList<int>{6, 25, 38, 25, 6};
    QTest::newRow("10 cols 100") << 10 << 100 << QList<int>{0, 2, 7, 16, 25, 25, 16, 7, 2, 0};
    QTest::newRow("32 cols 100") << 32 << 100 << toList(exactTheory(32, 100));
}

void TestTheoryFill::examples() {
    QFETCH(int, columns);
    QFETCH(int, balls);
    QFETCH(QList<int>, counts);
    QCOMPARE(filled(columns, balls), counts);
    if (columns == 32) {
        // 100 * C(31, 15) / 2^31 is just below 14
        QCOMPARE(counts.at(15), 14);
        QCOMPARE(counts.at(16), 14);
    }
}

void TestTheoryFill::exactForEveryColumnCount_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("balls");
    for (int n = 2; n <= 32; ++n)
        for (int b : {1, 7, 100, 250, 262, 1000})
            QTest::addRow("%d cols %d balls", n, b) << n << b;
}

void TestTheoryFill::exactForEveryColumnCount() {
    QFETCH(int, columns);
    QFETCH(int, balls);
    QCOMPARE(filled(columns, balls), toList(exactTheory(columns, std::uint64_t(balls))));
}

void TestTheoryFill::entriesBeyondColumnsKept() {
    BoardState s;
    loadDefaults(s);
    QCOMPARE(s.theoryCounts.upper(), 32);
    for (int k = 1; k <= 32; ++k)
        s.theoryCounts(k) = Integer(1000 + k);
    theoryfill(s, RunSettings{5, 100, 1});
    const QList<int> expected{6, 25, 38, 25, 6};
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(int(s.theoryCounts(k)), expected.at(k - 1));
    for (int k = 6; k <= 32; ++k)
        QCOMPARE(int(s.theoryCounts(k)), 1000 + k);
}

// An array sized to the columns (as a fresh run sizes it) is filled completely.
void TestTheoryFill::shortArray() {
    QCOMPARE(filled(10, 100, 10), (QList<int>{0, 2, 7, 16, 25, 25, 16, 7, 2, 0}));
    QCOMPARE(filled(32, 250, 32), toList(exactTheory(32, 250)));
}

QTEST_APPLESS_MAIN(TestTheoryFill)
#include "test_theory_fill.moc"
