// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption shown whole, in the fonts Linux desktops use: Debian's
// default (DejaVu Sans 9 pt), GNOME's (Cantarell 11 pt) and a large 14 pt
// font, at the scale factor the test runs with (ctest runs it at 1 and 2).
// The frames grow to hold their captions without any two controls
// overlapping more than designed, the rows keep their order, each field stays
// on its label's row, and at the minimum size every button is on screen.

#include "desktop/main_window.h"
#include "desktop/sim_area.h"
#include "window_driver.h"

#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include <map>

using namespace kug;
using namespace kug::test;

namespace {

// Inside the parameter frame, as designed (pixels).
std::map<QString, QRect> designedInParams() {
    std::map<QString, QRect> designed;
    for (Control c : controlsIn(Control::params)) {
        const Box b = pixels(designOf(c).designed);
        designed[QString::fromLatin1(designOf(c).name)] = QRect(b.x, b.y, b.w, b.h);
    }
    return designed;
}

int overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : both.width() * both.height();
}

// The caption's ink stays within the control: drawn again 60 pixels wider,
// nothing of it lands beyond the control's own width.
bool captionWhole(QWidget* w) {
    const QSize size = w->size();
    const qreal dpr = w->devicePixelRatioF();
    QImage wide((QSizeF(size.width() + 60, size.height()) * dpr).toSize(), QImage::Format_ARGB32);
    wide.setDevicePixelRatio(dpr);
    wide.fill(Qt::white);
    w->resize(size.width() + 60, size.height());
    w->render(&wide, QPoint(), QRegion(), QWidget::DrawChildren);
    w->resize(size);
    for (int y = 0; y < wide.height(); ++y)
        for (int x = qCeil(size.width() * dpr); x < wide.width(); ++x)
            if (wide.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

} // namespace

class TestCaptions : public QObject {
    Q_OBJECT
private slots:
    void fitted_data();
    void fitted();
};

void TestCaptions::fitted_data() {
    QTest::addColumn<QFont>("font");
    QTest::newRow("DejaVu Sans 9") << QFont(QStringLiteral("DejaVu Sans"), 9);
    QTest::newRow("Cantarell 11") << QFont(QStringLiteral("Cantarell"), 11);
    QTest::newRow("DejaVu Sans 14") << QFont(QStringLiteral("DejaVu Sans"), 14);
}

void TestCaptions::fitted() {
    QFETCH(QFont, font);
    QApplication::setFont(font);
    QVERIFY2(QFontInfo(font).family() == font.family(), "the font is not installed");
    WindowDriver window;
    QVERIFY(window.open());
    const MainWindow& w = *window;
    const auto& params = control<QGroupBox>(w, "params");
    const auto& gumbi = control<QGroupBox>(w, "gumbi");

    const std::map<QString, QRect> designed = designedInParams();
    for (const auto& [name, box] : designed) {
        auto& c = control<QWidget>(w, name.toLatin1().constData());
        QVERIFY2(c.width() >= box.width() && c.height() >= box.height(), qPrintable(name));
        if (qobject_cast<QLabel*>(&c) || qobject_cast<QCheckBox*>(&c))
            QVERIFY2(captionWhole(&c), qPrintable(name + QStringLiteral(" is cut off")));
        QVERIFY2(params.contentsRect().contains(c.geometry()), qPrintable(name));
        for (const auto& [other, otherBox] : designed) {
            if (other == name)
                continue;
            const QRect g = control<QWidget>(w, other.toLatin1().constData()).geometry();
            QVERIFY2(overlap(c.geometry(), g) <= overlap(box, otherBox),
                     qPrintable(name + QStringLiteral(" overlaps ") + other));
            // Rows keep their designed order.
            if (box.top() < otherBox.top())
                QVERIFY2(c.y() < g.y(), qPrintable(name + QStringLiteral(" below ") + other));
        }
    }
    for (const ControlDesign& label : controlTable) {
        if (!label.names)
            continue;
        const QRect f = control<QWidget>(w, designOf(*label.names).name).geometry();
        const QRect l = control<QWidget>(w, label.name).geometry();
        QCOMPARE(f.y(), l.y());
        QVERIFY2(f.left() > l.right(), label.name);
    }
    // The frames at the right edge, the button frame right below the other;
    // the drawing area keeps its designed width.
    QCOMPARE(gumbi.width(), params.width());
    QCOMPARE(params.geometry().right(), w.width() - 6);
    QCOMPARE(gumbi.y(), params.geometry().bottom() + 1);
    QCOMPARE(control<SimArea>(w, "simarea").contentsRect().width(), 232);
    qInfo("%s: start-up %dx%d, frames %dx%d and %dx%d", qPrintable(font.family()), w.width(),
          w.height(), params.width(), params.height(), gumbi.width(), gumbi.height());
    if (font.pointSize() == 9) {
        // The worked example of the designed window holds.
        QCOMPARE(control<SimArea>(w, "simarea").contentsRect().size(), QSize(232, 351));
        QCOMPARE(w.state().cellSize, Integer{21});
        QCOMPARE(w.state().ballRadius, Integer{7});
        QCOMPARE(w.state().maxBalls, Integer{250});
        QCOMPARE(w.state().barUnit, Integer{167});
    }

    // At the smallest size every button can still be seen and clicked.
    window->resize(10, 10);
    QTRY_VERIFY(window->width() > 10 && window->height() > 10);
    qInfo("%s: minimum %dx%d", qPrintable(font.family()), w.width(), w.height());
    for (Control c : controlsIn(Control::gumbi)) {
        const auto& button = control<QWidget>(w, designOf(c).name);
        QVERIFY2(w.rect().contains(QRect(button.mapTo(&w, QPoint(0, 0)), button.size())),
                 designOf(c).name);
    }
    QCOMPARE(w.height(), gumbi.geometry().bottom() + 1 + 5);
}

QTEST_MAIN(TestCaptions)
#include "test_captions.moc"
