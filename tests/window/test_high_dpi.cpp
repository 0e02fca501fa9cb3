// SPDX-License-Identifier: GPL-3.0-or-later
// High-DPI screens on the offscreen platform, given two screens side by side:
// "one" at scale 1 and "two" at scale 2. The board's lines stay one logical
// pixel wide and sharp at whole scales, the button pictures are shown pixel
// for pixel from their 32 x 32 twins, the window icon comes in four sizes,
// and the drawing area's picture is made again when the window moves to the
// other screen.

#include "desktop/image_surface.h"
#include "desktop/main_window.h"
#include "desktop/sim_area.h"
#include "render/plot_kv.h"
#include "render/theory_fill.h"
#include "state/board_geometry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <set>
#include <utility>

using namespace kug;

namespace {

using Points = std::set<std::pair<int, int>>;

constexpr QRgb navy = qRgb(0, 0, 128);

// The pixels of one colour, moved so that their bounding box starts at 0, 0.
Points pointsOf(const QImage& image, QRgb colour, QRect within = {}) {
    if (within.isNull())
        within = image.rect();
    Points raw;
    int left = within.right(), top = within.bottom();
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (image.pixel(x, y) == colour) {
                raw.insert({x, y});
                left = std::min(left, x);
                top = std::min(top, y);
            }
    Points moved;
    for (const auto& [x, y] : raw)
        moved.insert({x - left, y - top});
    return moved;
}

// A picture from the resources, pixel for pixel (Qt gives a NAME@2x file a
// device pixel ratio of 2).
QImage picture(const QString& name) {
    QImage image =
        QImage(QStringLiteral(":/%1.xpm").arg(name)).convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1);
    return image;
}

QScreen* screenNamed(const char* name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == QLatin1String(name))
            return screen;
    return nullptr;
}

// The board of `columns` with counts and theoretical bars, drawn without the
// remaining-balls line, at a device pixel ratio.
QImage board(int columns, qreal dpr) {
    BoardState s;
    loadDefaults(s);
    const RunSettings settings{columns, 60, 1};
    s.binCounts.redim(columns);
    s.theoryCounts.redim(columns);
    for (int k = 1; k <= columns; ++k)
        s.binCounts(k) = Integer(k % 5);
    ImageSurface area;
    area.setGeometry(QSize(233, 351), dpr);
    plotKV(s, area, settings, Switches{true, false, false, false});
    s.barUnit = 2;
    theoryfill(s, settings);
    plotKV(s, area, settings, Switches{true, false, false, true});
    return area.image();
}

bool moveTo(QWidget& w, const char* screenName) {
    QScreen* screen = screenNamed(screenName);
    if (!screen)
        return false;
    w.move(screen->geometry().topLeft() + QPoint(40, 40));
    return QTest::qWaitFor([&] { return w.screen() == screen; }, 5000);
}

} // namespace

class TestHighDpi : public QObject {
    Q_OBJECT
private slots:
    void twoScreens();
    void boardLinesAtWholeScales_data();
    void boardLinesAtWholeScales();
    void buttonTwins_data();
    void buttonTwins();
    void buttonsAtScale2_data();
    void buttonsAtScale2();
    void windowIconSizes();
    void screenChangeMakesPictureAgain();
};

void TestHighDpi::twoScreens() {
    QVERIFY(screenNamed("one"));
    QVERIFY(screenNamed("two"));
    QCOMPARE(screenNamed("two")->devicePixelRatio(), 2.0);
}

void TestHighDpi::boardLinesAtWholeScales_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("scale");
    for (int columns : {2, 9, 32})
        for (int scale : {2, 3})
            QTest::addRow("%d columns at %d", columns, scale) << columns << scale;
}

// At a whole scale every logical pixel of the bins becomes a square of device
// pixels of one colour: walls, floor and bars are as wide as at scale 1 and
// have no blurred edge. (The pegs above them are round at the finer pixels.)
void TestHighDpi::boardLinesAtWholeScales() {
    QFETCH(int, columns);
    QFETCH(int, scale);
    const QImage once = board(columns, 1);
    const QImage scaled = board(columns, scale);
    QCOMPARE(scaled.size(), once.size() * scale);
    const QImage expected =
        once.scaled(once.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const int binsTop = int(BoardGeometry::fitted(233, 351, columns).binsTop());
    for (int y = binsTop * scale; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x)
            if (scaled.pixel(x, y) != expected.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("device pixel (%1, %2) is %3, expected %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(scaled.pixel(x, y), 8, 16)
                                     .arg(expected.pixel(x, y), 8, 16)));
}

void TestHighDpi::buttonTwins_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checkered");
    for (const char* name : {"play", "pause", "stop", "exit"})
        QTest::newRow(name) << QString::fromLatin1(name) << false;
    for (const char* name : {"play_disabled", "pause_disabled", "stop_disabled"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
}

// A solid picture's twin is the picture doubled pixel for pixel. A disabled
// picture's twin keeps every pixel of the original's pattern and fills the
// same shape with a checkerboard of single device pixels: no two navy pixels
// side by side, and two in every square of four that has any.
void TestHighDpi::buttonTwins() {
    QFETCH(QString, name);
    QFETCH(bool, checkered);
    const QImage small = picture(name);
    const QImage twin = picture(name + QStringLiteral("@2x"));
    QCOMPARE(small.size(), QSize(16, 16));
    QCOMPARE(twin.size(), QSize(32, 32));
    if (!checkered) {
        QCOMPARE(twin, small.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        return;
    }
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool here = twin.pixel(x, y) == navy;
            QVERIFY(here || qAlpha(twin.pixel(x, y)) == 0);
            if (here && x + 1 < 32)
                QVERIFY2(twin.pixel(x + 1, y) != navy, qPrintable(QString::number(x)));
            if (here && y + 1 < 32)
                QVERIFY2(twin.pixel(x, y + 1) != navy, qPrintable(QString::number(y)));
        }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int inBlock = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    inBlock += twin.pixel(2 * x + dx, 2 * y + dy) == navy ? 1 : 0;
            QVERIFY(inBlock == 0 || inBlock == 2);
            if (small.pixel(x, y) == navy)
                QCOMPARE(inBlock, 2);
        }
}

void TestHighDpi::buttonsAtScale2_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shown"); // the picture the idle window shows on it
    QTest::newRow("start") << QStringLiteral("startcmd") << QStringLiteral("play@2x");
    QTest::newRow("pause, disabled")
        << QStringLiteral("stopcmd") << QStringLiteral("pause_disabled@2x");
    QTest::newRow("abort, disabled")
        << QStringLiteral("fullstopcmd") << QStringLiteral("stop_disabled@2x");
    QTest::newRow("exit") << QStringLiteral("exitcmd") << QStringLiteral("exit@2x");
}

// On the screen at scale 2 a button shows its picture's twin pixel for
// pixel: the same navy pixels, none blurred into another colour.
void TestHighDpi::buttonsAtScale2() {
    QFETCH(QString, button);
    QFETCH(QString, shown);
    MainWindow w;
    QVERIFY(moveTo(w, "two"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* b = w.findChild<QPushButton*>(button);
    QVERIFY(b);
    QTRY_COMPARE(b->devicePixelRatioF(), 2.0);
    const QImage grabbed = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(grabbed.size(), b->size() * 2);
    const Points expected = pointsOf(picture(shown), navy);
    const QRect inside = grabbed.rect().adjusted(6, 6, -6, -6); // not the button's frame
    QCOMPARE(pointsOf(grabbed, navy, inside), expected);
    // Any other blue would be a navy edge smoothed by scaling.
    int bluish = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb c = grabbed.pixel(x, y);
            bluish += c != navy && qBlue(c) > qRed(c) + 40 && qBlue(c) > qGreen(c) + 40;
        }
    QCOMPARE(bluish, 0);
}

// The window icon: the design drawn at 16, 32, 48 and 64 pixels, each shown
// at its own size; the larger ones in the icon's colours.
void TestHighDpi::windowIconSizes() {
    MainWindow w;
    const QIcon icon = w.windowIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int size : {16, 32, 48, 64}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        if (size < 32)
            continue;
        const QImage design = picture(QStringLiteral("icon%1").arg(size));
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), design);
        for (QRgb colour : {qRgb(220, 73, 0), qRgb(192, 192, 192), qRgb(128, 128, 128)})
            QVERIFY2(!pointsOf(design, colour).empty(), qPrintable(QString::number(size)));
    }
}

// Moved to the screen at scale 2, the drawing area makes its picture again at
// twice the pixels, at once and without a repaint, and shows the same board;
// the next drawing uses the new pixels. Back on the first screen, the same
// again at scale 1.
void TestHighDpi::screenChangeMakesPictureAgain() {
    MainWindow w;
    QVERIFY(moveTo(w, "one"));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* area = w.findChild<SimArea*>(QStringLiteral("simarea"));
    QVERIFY(area);
    const QImage once = area->picture();
    QCOMPARE(once.devicePixelRatio(), 1.0);
    // Only the screen change may make the picture again: no repaint does.
    w.setUpdatesEnabled(false);
    QVERIFY(moveTo(w, "two"));
    QTRY_COMPARE(area->devicePixelRatioF(), 2.0);
    QCOMPARE(area->picture().devicePixelRatio(), 2.0);
    QImage doubled = once.scaled(once.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    doubled.setDevicePixelRatio(2);
    QCOMPARE(area->picture().convertToFormat(QImage::Format_RGB32),
             doubled.convertToFormat(QImage::Format_RGB32));
    w.form().plotKV();
    QCOMPARE(area->picture().size(), once.size() * 2);
    QVERIFY(moveTo(w, "one"));
    QTRY_COMPARE(area->devicePixelRatioF(), 1.0);
    QCOMPARE(area->picture().devicePixelRatio(), 1.0);
    QCOMPARE(area->picture().convertToFormat(QImage::Format_RGB32),
             once.convertToFormat(QImage::Format_RGB32));
    w.setUpdatesEnabled(true);
}

// The platform is configured before the application starts: two offscreen
// screens side by side, the second at scale 2.
int main(int argc, char* argv[]) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly))
        return 2;
    file.write(R"({"screens": [
        {"name": "one", "x": 0, "y": 0, "width": 1000, "height": 800, "dpr": 1},
        {"name": "two", "x": 1000, "y": 0, "width": 1000, "height": 800, "dpr": 2}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    QApplication app(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_high_dpi.moc"
