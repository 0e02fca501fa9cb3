// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-pixel drawing straight into a pixel buffer: the pegs and the ball are
// circles with a one-pixel edge and a filled inside, fills cover exactly their
// pixels at every whole device pixel ratio, and coordinates halfway between
// two pixels follow the ball's rounding of the area's middle.

#include "render/pixel_raster.h"

#include <QTest>

#include <cstdint>
#include <limits>
#include <vector>

using namespace kug;
using namespace kug::raster;

namespace {

constexpr std::uint32_t back = 0xFFFFFFFF;
constexpr std::uint32_t edge = 0xFF0000FF;
constexpr std::uint32_t inside = 0xFFFF0000;

// A w x h block of background pixels.
struct Block {
    Block(int w, int h) : words(std::size_t(w) * std::size_t(h), back), width(w), height(h) {}
    Pixels pixels() { return Pixels{words.data(), width, width, height}; }
    std::uint32_t pixel(int x, int y) const { return words[std::size_t(y * width + x)]; }
    void setPixel(int x, int y, std::uint32_t c) { words[std::size_t(y * width + x)] = c; }
    // Bounding box of the pixels that are not background.
    QRect drawn() const {
        QRect box;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (pixel(x, y) != back)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    int countOf(std::uint32_t colour) const {
        int n = 0;
        for (const std::uint32_t w : words)
            n += w == colour ? 1 : 0;
        return n;
    }
    std::vector<std::uint32_t> words;
    int width, height;
};

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
    void nearestPixel_data();
    void nearestPixel();
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
    Block image(81 * scale, 81 * scale);
    raster::circle(image.pixels(), scale, c, c, radius, edge, inside);
    const int x = c * scale, y = c * scale, r = radius * scale;
    QCOMPARE(image.drawn(), QRect(x - r, y - r, 2 * r + 1, 2 * r + 1));
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
    Block image(40, 40);
    image.setPixel(20, 20, 0xFF00FF00);
    raster::circle(image.pixels(), 1, 20, 20, 7, edge, std::nullopt);
    QCOMPARE(image.pixel(20, 20), std::uint32_t(0xFF00FF00)); // what lay inside stays
    QCOMPARE(image.pixel(21, 20), back);
    QCOMPARE(image.pixel(27, 20), edge);
    QCOMPARE(image.countOf(inside), 0);
}

void TestPixelRaster::circleClippedAtTheEdges() {
    Block image(20, 10);
    raster::circle(image.pixels(), 1, 0, 0, 5, edge, inside);
    raster::circle(image.pixels(), 1, 19, 9, 5, edge, inside);
    raster::circle(image.pixels(), 1, -1000, 5, 100, edge, inside); // wholly outside
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
    Block image(10 * scale, 10 * scale);
    raster::fillRect(image.pixels(), scale,
                     {logical.left(), logical.top(), logical.right(), logical.bottom()}, inside);
    const QRect all(0, 0, image.width, image.height);
    QCOMPARE(image.drawn(), device & all);
    QCOMPARE(image.countOf(inside),
             device.intersected(all).width() * device.intersected(all).height());
}

void TestPixelRaster::nearestPixel_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<float>("v");
    QTest::addColumn<int>("pixel");
    // 232 and 234: W / 2 is whole, no tie arises from the board; 233: 116.5
    // rounds down to the even 116, so ties go down; 235: 117.5 rounds up.
    QTest::newRow("233, tie down") << 233 << 137.5f << 137;
    QTest::newRow("233, negative tie down") << 233 << -2.5f << -3;
    QTest::newRow("235, tie up") << 235 << 137.5f << 138;
    QTest::newRow("234, tie up") << 234 << 137.5f << 138;
    QTest::newRow("233, no tie") << 233 << 137.4f << 137;
    QTest::newRow("233, no tie above") << 233 << 137.6f << 138;
    QTest::newRow("far off") << 232 << 1.0e9f << 1000000;
    QTest::newRow("not a number") << 232 << std::numeric_limits<float>::quiet_NaN() << 0;
}

void TestPixelRaster::nearestPixel() {
    QFETCH(int, width);
    QFETCH(float, v);
    QFETCH(int, pixel);
    QCOMPARE(raster::nearestPixel(v, raster::tiesDownFor(width)), pixel);
}

QTEST_APPLESS_MAIN(TestPixelRaster)
#include "test_pixel_raster.moc"
