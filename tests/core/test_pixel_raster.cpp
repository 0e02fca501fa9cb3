// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-pixel drawing straight into a pixel buffer: the pegs and the ball are
// circles with a one-pixel edge and a filled inside, fills cover exactly their
// pixels at every whole device pixel ratio, and coordinates halfway between
// two pixels follow the ball's rounding of the area's middle.

#include "render/pixel_raster.h"

#include <QPoint>
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
    void circleClippedAtTheEdges();
    void fillAtScale_data();
    void fillAtScale();
    void nearestPixel_data();
    void nearestPixel();
};

// How the circle's inside is painted.
enum class Inside { Filled, EdgeColour, Unfilled };
Q_DECLARE_METATYPE(Inside)

void TestPixelRaster::circle_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("radius");
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<int>("before"); // radius of a circle drawn just before, elsewhere
    QTest::addColumn<Inside>("inside");
    for (int scale : {1, 2})
        for (int r : {0, 1, 2, 7, 33})
            QTest::addRow("scale %d radius %d", scale, r)
                << scale << r << QPoint(40, 40) << -1 << Inside::Filled;
    const QPoint mid(40, 40);
    QTest::newRow("after a smaller radius") << 1 << 7 << mid << 2 << Inside::Filled;
    QTest::newRow("after a larger radius") << 2 << 2 << mid << 33 << Inside::Filled;
    QTest::newRow("scale 3") << 3 << 5 << mid << 5 << Inside::Filled;
    QTest::newRow("inside in the edge's colour") << 1 << 7 << mid << -1 << Inside::EdgeColour;
    QTest::newRow("unfilled at scale 2") << 2 << 7 << mid << 7 << Inside::Unfilled;
    QTest::newRow("rows wider than a short span") << 2 << 20 << mid << -1 << Inside::Filled;
    QTest::newRow("clipped top left") << 1 << 7 << QPoint(2, 1) << 7 << Inside::Filled;
    QTest::newRow("clipped bottom right") << 2 << 7 << QPoint(79, 78) << 7 << Inside::EdgeColour;
    QTest::newRow("clipped left, rows of 1 to 3")
        << 1 << 1 << QPoint(0, 40) << -1 << Inside::Filled;
    QTest::newRow("larger than the table, its top")
        << 2 << 300 << QPoint(40, 330) << 7 << Inside::Filled;
    QTest::newRow("far off, its bottom in the area")
        << 1 << 1000000 << QPoint(40, -999960) << -1 << Inside::Filled;
}

// The pixels within r + 1/2 of the centre (in device pixels: R = r * scale
// around the centre * scale), those with a neighbour across a side outside
// in the edge's colour, the others filled; every other pixel untouched.
// Checked pixel by pixel against that definition, after any radius before.
void TestPixelRaster::circle() {
    QFETCH(int, scale);
    QFETCH(int, radius);
    QFETCH(QPoint, centre);
    QFETCH(int, before);
    QFETCH(Inside, inside);
    if (before >= 0) {
        Block other(8, 8);
        raster::circle(other.pixels(), scale, 4, 4, before, edge, edge);
    }
    Block image(81 * scale, 81 * scale);
    for (std::size_t i = 0; i < image.words.size(); ++i)
        image.words[i] = 0x80000000u | std::uint32_t(i); // its own colour, none of the drawing's
    const std::uint32_t insideColour = inside == Inside::EdgeColour ? edge : raster::opaque(7);
    raster::circle(image.pixels(), scale, centre.x(), centre.y(), radius, edge,
                   inside == Inside::Unfilled ? std::nullopt
                                              : std::optional<std::uint32_t>(insideColour));
    const long long r = radius * 1LL * scale;
    const auto within = [&](long long dx, long long dy) { return dx * dx + dy * dy <= r * r + r; };
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const long long dx = x - centre.x() * 1LL * scale, dy = y - centre.y() * 1LL * scale;
            const bool onEdge = !within(dx - 1, dy) || !within(dx + 1, dy) || !within(dx, dy - 1) ||
                                !within(dx, dy + 1);
            std::uint32_t want = 0x80000000u | std::uint32_t(y * image.width + x);
            if (within(dx, dy) && onEdge)
                want = edge;
            else if (within(dx, dy) && inside != Inside::Unfilled)
                want = insideColour;
            if (image.pixel(x, y) != want)
                QFAIL(qPrintable(QString("pixel %1, %2").arg(x).arg(y)));
        }
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
    QTest::newRow("five wide") << 1 << QRect(2, 3, 5, 2) << QRect(2, 3, 5, 2);
    QTest::newRow("seven wide") << 1 << QRect(3, 0, 7, 1) << QRect(3, 0, 7, 1);
    QTest::newRow("wider than a short span") << 4 << QRect(1, 1, 9, 2) << QRect(4, 4, 36, 8);
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
