// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-pixel drawing straight into the picture: the pegs and the ball are
// circles with a one-pixel edge and a filled inside, fills cover exactly their
// pixels at every whole device pixel ratio, and the ball's erase circle always
// covers the ball it erases, on the direct path and on the painter's.

#include "render/image_surface.h"
#include "render/pixel_raster.h"
#include "scripted_random.h"
#include "sim/animated_ball.h"
#include "sim/run_setup.h"

#include <QTest>

#include <utility>

using namespace kug;

namespace {

constexpr QRgb back = 0xFFFFFFFF;
constexpr QRgb edge = 0xFF0000FF;
constexpr QRgb inside = 0xFFFF0000;

QImage blank(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(back);
    return image;
}

// Bounding box of the pixels that are not background.
QRect drawn(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != back)
                box |= QRect(x, y, 1, 1);
    return box;
}

int countOf(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
    return n;
}

} // namespace

class TestPixelRaster : public QObject {
    Q_OBJECT
private slots:
    void circle_data();
    void circle();
    void circleWithoutFillKeepsInside();
    void circleClippedAtTheEdges();
    void fillAtScale_data();
    void fillAtScale();
    void eraseCoversBall_data();
    void eraseCoversBall();
    void ballOnPegColumn_data();
    void ballOnPegColumn();
};

void TestPixelRaster::circle_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("radius");
    for (int scale : {1, 2})
        for (int r : {0, 1, 2, 7, 33})
            QTest::addRow("scale %d radius %d", scale, r) << scale << r;
}

// Centred on its pixel, 2r + 1 wide and high, edge pixels at the four
// extremes, the inside filled; a radius of 0 is a single edge pixel.
void TestPixelRaster::circle() {
    QFETCH(int, scale);
    QFETCH(int, radius);
    const int c = 40;
    QImage image = blank(81 * scale, 81 * scale);
    raster::circle(image, scale, c, c, radius, edge, inside);
    const int x = c * scale, y = c * scale, r = radius * scale;
    QCOMPARE(drawn(image), QRect(x - r, y - r, 2 * r + 1, 2 * r + 1));
    QCOMPARE(image.pixel(x + r, y), edge);
    QCOMPARE(image.pixel(x - r, y), edge);
    QCOMPARE(image.pixel(x, y + r), edge);
    QCOMPARE(image.pixel(x, y - r), edge);
    QCOMPARE(image.pixel(x, y), r == 0 ? edge : inside);
    // symmetric about both axes through the centre
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            QCOMPARE(image.pixel(x + dx, y + dy), image.pixel(x - dx, y + dy));
            QCOMPARE(image.pixel(x + dx, y + dy), image.pixel(x + dx, y - dy));
        }
}

void TestPixelRaster::circleWithoutFillKeepsInside() {
    QImage image = blank(40, 40);
    image.setPixel(20, 20, 0xFF00FF00);
    raster::circle(image, 1, 20, 20, 7, edge, std::nullopt);
    QCOMPARE(image.pixel(20, 20), QRgb(0xFF00FF00)); // what lay inside stays
    QCOMPARE(image.pixel(21, 20), back);
    QCOMPARE(image.pixel(27, 20), edge);
    QCOMPARE(countOf(image, inside), 0);
}

void TestPixelRaster::circleClippedAtTheEdges() {
    QImage image = blank(20, 10);
    raster::circle(image, 1, 0, 0, 5, edge, inside);
    raster::circle(image, 1, 19, 9, 5, edge, inside);
    raster::circle(image, 1, -1000, 5, 100, edge, inside); // wholly outside
    QCOMPARE(image.pixel(0, 0), inside);
    QCOMPARE(image.pixel(5, 0), edge);
    QCOMPARE(image.pixel(19, 9), inside);
    QCOMPARE(image.pixel(10, 5), back);
}

void TestPixelRaster::fillAtScale_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<QRect>("logical");
    QTest::addColumn<QRect>("device");
    QTest::newRow("one pixel") << 1 << QRect(3, 4, 1, 1) << QRect(3, 4, 1, 1);
    QTest::newRow("box at 2") << 2 << QRect(1, 2, 3, 1) << QRect(2, 4, 6, 2);
    QTest::newRow("box at 3") << 3 << QRect(0, 0, 2, 2) << QRect(0, 0, 6, 6);
    QTest::newRow("clipped") << 2 << QRect(-5, 8, 10, 10) << QRect(0, 16, 10, 4);
}

void TestPixelRaster::fillAtScale() {
    QFETCH(int, scale);
    QFETCH(QRect, logical);
    QFETCH(QRect, device);
    QImage image = blank(10 * scale, 10 * scale);
    raster::fillRect(image, scale, logical, inside);
    QCOMPARE(drawn(image), device & image.rect());
    QCOMPARE(countOf(image, inside),
             device.intersected(image.rect()).width() * device.intersected(image.rect()).height());
}

void TestPixelRaster::eraseCoversBall_data() {
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<bool>("trail");
    for (qreal dpr : {1.0, 2.0, 1.5}) // 1.5 takes the painter's path
        for (bool trail : {false, true})
            QTest::addRow("dpr %g%s", dpr, trail ? " trail" : "") << dpr << trail;
}

// The animated ball: drawn in red at fractional positions, then erased at the
// same position with the background inside and a blue or background edge.
void TestPixelRaster::eraseCoversBall() {
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

void TestPixelRaster::ballOnPegColumn_data() {
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
void TestPixelRaster::ballOnPegColumn() {
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

QTEST_MAIN(TestPixelRaster)
#include "test_pixel_raster.moc"
