// SPDX-License-Identifier: GPL-3.0-or-later
// The web page's raster surface keeps its picture when the board changes size
// or the screen its scale: cropped or extended with the background, and at a
// new scale every device pixel taken from the same logical pixel as before,
// so that a browser's zoom does not blank the board. The whole area is
// reported changed, for the page to copy it again.

#include "render/plot_kv.h"
#include "render/raster_surface.h"
#include "state/board_state.h"

#include <QTest>

#include <cstdint>
#include <set>

using namespace kug;

class TestRasterSurface : public QObject {
    Q_OBJECT
private slots:
    void keepsPicture_data();
    void keepsPicture();
};

void TestRasterSurface::keepsPicture_data() {
    QTest::addColumn<QSize>("from");
    QTest::addColumn<int>("fromScale");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<int>("toScale");
    QTest::newRow("scale 1 to 2") << QSize(233, 351) << 1 << QSize(233, 351) << 2;
    QTest::newRow("scale 2 to 1") << QSize(233, 351) << 2 << QSize(233, 351) << 1;
    QTest::newRow("scale 2 to 3") << QSize(232, 351) << 2 << QSize(232, 351) << 3;
    QTest::newRow("smaller") << QSize(232, 351) << 1 << QSize(200, 300) << 1;
    QTest::newRow("larger at scale 2") << QSize(232, 351) << 2 << QSize(300, 400) << 2;
    QTest::newRow("smaller and scale 1 to 2") << QSize(232, 351) << 1 << QSize(150, 360) << 2;
}

void TestRasterSurface::keepsPicture() {
    QFETCH(QSize, from);
    QFETCH(int, fromScale);
    QFETCH(QSize, to);
    QFETCH(int, toScale);
    RasterSurface area;
    area.setGeometry(from.width(), from.height(), fromScale);
    BoardState s;
    loadDefaults(s);
    s.binCounts.redim(9);
    s.theoryCounts.redim(9);
    for (int k = 1; k <= 9; ++k)
        s.binCounts(k) = k % 4;
    plotKV(s, area, RunSettings{9, 3, 1}, Switches{});
    const std::vector<std::uint32_t> before(area.pixels(), area.pixels() + area.deviceWidth() *
                                                                               area.deviceHeight());
    const int oldWidth = area.deviceWidth();
    (void)area.takeChanged();

    area.setGeometry(to.width(), to.height(), toScale);
    QCOMPARE(area.deviceWidth(), to.width() * toScale);
    QCOMPARE(area.deviceHeight(), to.height() * toScale);
    const DirtyRegion region = area.takeChanged();
    const auto changed = region.rects();
    QCOMPARE(changed.size(), 1u);
    QCOMPARE(
        QRect(QPoint(changed[0].left, changed[0].top), QPoint(changed[0].right, changed[0].bottom)),
        QRect(QPoint(0, 0), to * toScale));
    const std::uint32_t back = raster::opaque(area.backColor());
    std::set<std::uint32_t> colours;
    for (int y = 0; y < area.deviceHeight(); ++y) {
        for (int x = 0; x < area.deviceWidth(); ++x) {
            const std::uint32_t now = area.pixels()[y * area.deviceWidth() + x];
            const int lx = x / toScale, ly = y / toScale;
            if (lx >= from.width() || ly >= from.height()) {
                QCOMPARE(now, back); // extended with the background
                continue;
            }
            // One of the device pixels of the same logical pixel before.
            bool found = false;
            for (int dy = 0; dy < fromScale && !found; ++dy)
                for (int dx = 0; dx < fromScale && !found; ++dx)
                    found = before[(ly * fromScale + dy) * oldWidth + lx * fromScale + dx] == now;
            if (!found)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is new").arg(x).arg(y)));
            colours.insert(now);
        }
    }
    // The kept part still shows the pegs and the bars, not a blank board.
    QVERIFY(colours.count(raster::opaque(s.lineColor)) == 1);
    QVERIFY(colours.count(raster::opaque(s.ballColor)) == 1);
}

QTEST_APPLESS_MAIN(TestRasterSurface)
#include "test_raster_surface.moc"
