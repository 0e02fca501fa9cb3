// SPDX-License-Identifier: GPL-3.0-or-later
// The random source's batch of numbers, which the fast run draws one ball at
// a time, must be the very numbers that one draw per step would give.

#include "sim/random_source.h"

#include "scripted_random.h"

#include <QTest>

#include <vector>

using namespace kug;

class TestRandomSource : public QObject {
    Q_OBJECT
private slots:
    void batchesMatchSingleDraws_data();
    void batchesMatchSingleDraws();
    void scriptedSourceFillsFromNext();
};

void TestRandomSource::batchesMatchSingleDraws_data() {
    QTest::addColumn<QList<int>>("batches"); // 0: a single next()
    // 624 numbers come from one state of the engine; the batches cross the
    // refills at 624 and 1248 at different points.
    QTest::newRow("one ball of 31 at a time") << QList<int>(60, 31);
    QTest::newRow("single draws between batches") << QList<int>{0, 623, 0, 0, 31, 1, 600, 0};
    QTest::newRow("a batch over a whole refill") << QList<int>{5, 1300, 0, 7};
    QTest::newRow("empty batches") << QList<int>{0, 0, 0, 0, 700, 0};
}

void TestRandomSource::batchesMatchSingleDraws() {
    QFETCH(QList<int>, batches);
    Mt19937Source single;
    Mt19937Source batched;
    for (const int count : batches) {
        if (count == 0) {
            QCOMPARE(batched.next(), single.next());
            continue;
        }
        std::vector<double> got(static_cast<std::size_t>(count));
        batched.fill(got.data(), got.size());
        for (int i = 0; i < count; ++i)
            QCOMPARE(got[static_cast<std::size_t>(i)], single.next());
    }
    QCOMPARE(batched.next(), single.next()); // still in step afterwards
}

// A source that only knows next() hands out its numbers in order.
void TestRandomSource::scriptedSourceFillsFromNext() {
    test::ScriptedRandom random({0.1, 0.6, 0.5});
    std::vector<double> got(4);
    random.fill(got.data(), got.size());
    QCOMPARE(got, (std::vector<double>{0.1, 0.6, 0.5, 0.1}));
    QCOMPARE(random.drawn, std::size_t(4));
}

QTEST_APPLESS_MAIN(TestRandomSource)
#include "test_random_source.moc"
