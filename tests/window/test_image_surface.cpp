// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing surface over a retained picture: the ball's erase circle always
// covers the ball it erases, on the direct path and on the painter's, and the
// ball falls and hops on the pegs' own pixel column at every width.

#include "desktop/image_surface.h"
#include "render/plot_kv.h"
#include "render/raster_surface.h"
#include "scripted_random.h"
#include "sim/animated_ball.h"
#include "sim/run_setup.h"

#include <QTest>

#include <utility>

using namespace kug;

namespace {

int countOf(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
    return n;
}

} // namespace

class TestImageSurface : public QObject {
    Q_OBJECT
private slots:
    void eraseCoversBall_data();
    void eraseCoversBall();
    void ballOnPegColumn_data();
    void ballOnPegColumn();
    void sameAsRasterSurface_data();
    void sameAsRasterSurface();
};

void TestImageSurface::eraseCoversBall_data() {
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<bool>("trail");
    for (qreal dpr : {1.0, 2.0, 1.5}) // 1.5 takes the painter's path
        for (bool trail : {false, true})
            QTest::addRow("dpr %g%s", dpr, trail ? " trail" : "") << dpr << trail;
}

// The animated ball: drawn in red at fractional positions, then erased at the
// same position with the background inside and a blue or background edge.
void TestImageSurface::eraseCoversBall() {
    QFETCH(qreal, dpr);
    QFETCH(bool, trail);
    const Long red = rgb(255, 0, 0), blue = rgb(0, 0, 255);
    ImageSurface area;
    area.setGeometry(QSize(120, 90), dpr);
    area.cls();
    for (float x = 20.25f; x < 100; x += 7.3f) {
        area.setFillStyle(0);
        area.setFillColor(red);
        area.circle(x, 45.6f, 7, red);
        QVERIFY(countOf(area.image(), 0xFFFF0000) > 0);
        area.setFillColor(area.backColor());
        area.circle(x, 45.6f, 7, trail ? blue : area.backColor());
        QCOMPARE(countOf(area.image(), 0xFFFF0000), 0);
    }
    QCOMPARE(countOf(area.image(), 0xFF0000FF) > 0, trail);
}

void TestImageSurface::ballOnPegColumn_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("cell");
    // Four widths in a row: W / 2 falls on a pixel, is a tie that rounds
    // down to the even pixel, falls on a pixel, is a tie that rounds up.
    for (const auto& [height, cell] : {std::pair{351, 19}, std::pair{370, 20}})
        for (int width = 232; width <= 235; ++width)
            QTest::addRow("%d x %d, cell %d", width, height, cell) << width << height << cell;
}

// The ball falls onto the top peg and hops onto a peg of the next row on the
// pegs' own pixel column, and the wall below that peg stands on it too, at
// every width of the area.
void TestImageSurface::ballOnPegColumn() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, cell);
    ImageSurface area;
    area.setGeometry(QSize(width, height), 1.0);
    BoardState s;
    loadDefaults(s);
    test::ScriptedRandom random({0.9});
    const RunSettings settings{3, 1, 1};
    freshRunSetup(s, area, settings, Switches{});
    QCOMPARE(int(s.cellSize), cell);
    // The middle column of the pixels of one colour near (x, y).
    const auto column = [&](QRgb colour, int x, int y) {
        const QImage image = area.image();
        int left = width, right = -1;
        for (int yy = y - cell; yy <= y + cell; ++yy)
            for (int xx = x - cell / 2; xx <= x + cell / 2; ++xx)
                if (image.rect().contains(xx, yy) && image.pixel(xx, yy) == colour)
                    left = std::min(left, xx), right = std::max(right, xx);
        return (left + right) / 2.0;
    };
    const QRgb black = 0xFF000000, red = 0xFFFF0000;
    const int halfW = width / 2;
    const double wall = column(black, halfW + cell, 10 * cell); // halfway down bin 2's right wall
    const double nextPeg = column(black, halfW + cell, 5 * cell);
    QCOMPARE(nextPeg, wall);
    QCOMPARE(column(black, halfW, 3 * cell), wall - cell); // the top peg
    while (s.dropping)
        ballTick(s, area, random, settings, Switches{});
    QCOMPARE(column(red, halfW, s.ballY), wall - cell);
    ballTick(s, area, random, settings, Switches{}); // the direction: right
    while (!s.atPeg)
        ballTick(s, area, random, settings, Switches{});
    QCOMPARE(column(red, halfW + cell, s.ballY), wall);
}

void TestImageSurface::sameAsRasterSurface_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("scale");
    for (int scale : {1, 2})
        for (const auto& [width, columns] : {std::pair{232, 2}, {233, 3}, {235, 10}, {600, 32}})
            QTest::addRow("%d wide, %d columns, scale %d", width, columns, scale)
                << width << columns << scale;
}

// The toolkit-free surface of the web page draws the same pixels as the
// desktop's picture: the board, and a ball falling, hopping and landing with
// its trail, at every step. (Both leave the text line to their own fonts, so
// the run draws none: the fast mode's switch is on.)
void TestImageSurface::sameAsRasterSurface() {
    QFETCH(int, width);
    QFETCH(int, columns);
    QFETCH(int, scale);
    ImageSurface image;
    image.setGeometry(QSize(width, 351), scale);
    RasterSurface raster;
    raster.setGeometry(width, 351, scale);
    const RunSettings settings{columns, 3, 100};
    const Switches switches{true, false, true, true};
    BoardState a, b;
    test::ScriptedRandom randomA({0.9, 0.2, 0.7, 0.4}), randomB({0.9, 0.2, 0.7, 0.4});
    for (BoardState* s : {&a, &b}) {
        loadDefaults(*s);
        s->theoryCounts.redim(columns);
    }
    freshRunSetup(a, image, settings, switches);
    freshRunSetup(b, raster, settings, switches);
    const auto same = [&] {
        const QImage shown = image.image();
        const QImage web(reinterpret_cast<const uchar*>(raster.pixels()), raster.deviceWidth(),
                         raster.deviceHeight(), QImage::Format_RGB32);
        return shown.convertToFormat(QImage::Format_RGB32) == web;
    };
    QVERIFY(same());
    for (int tick = 0; tick < 2000 && !a.needsReset; ++tick) {
        const TickOutcome o = ballTick(a, image, randomA, settings, switches);
        QCOMPARE(ballTick(b, raster, randomB, settings, switches), o);
        if (o == TickOutcome::RunEnded)
            break;
        QVERIFY2(same(), qPrintable(QStringLiteral("after tick %1").arg(tick + 1)));
    }
    QVERIFY(same());
}

QTEST_MAIN(TestImageSurface)
#include "test_image_surface.moc"
