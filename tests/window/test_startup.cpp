// SPDX-License-Identifier: GPL-3.0-or-later
// The window as it opens: the twenty controls with their names, types,
// nesting, captions, positions and initial states, the tab order, the board
// geometry of the first drawing, the button pictures and a screenshot.

#include "design_font.h"
#include "desktop/main_window.h"
#include "desktop/sim_area.h"
#include "window_driver.h"

#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QTest>

#include <map>

using namespace kug;
using namespace kug::test;

namespace {

// The widget each kind of control is made of.
const std::map<ControlKind, const char*> widgetClass{
    {ControlKind::Frame, "QGroupBox"},          {ControlKind::PictureButton, "QPushButton"},
    {ControlKind::DrawingArea, "kug::SimArea"}, {ControlKind::CheckBox, "QCheckBox"},
    {ControlKind::TextBox, "QLineEdit"},        {ControlKind::Label, "QLabel"}};

QString nameOf(Control c) {
    return QString::fromLatin1(designOf(c).name);
}

QString captionOf(const QWidget* w) {
    if (auto* box = qobject_cast<const QGroupBox*>(w))
        return box->title();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    return {};
}

bool isNavy(QRgb p) {
    return qAlpha(p) == 255 && (p & 0xFFFFFF) == 0x000080;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { pinDesignFont(); }
    void init();
    void cleanup();
    void startupValues();
    void controls_data();
    void controls();
    void focusPolicies();
    void tabOrder();
    void boardGeometry();
    void buttonPictures_data();
    void buttonPictures();
    void screenshot();

private:
    std::unique_ptr<WindowDriver> window_;
};

void TestStartup::init() {
    window_ = std::make_unique<WindowDriver>();
    QVERIFY(window_->open());
}

void TestStartup::cleanup() {
    window_.reset();
}

void TestStartup::startupValues() {
    const MainWindow& w = window_->window();
    QCOMPARE(control<QLineEdit>(w, "stupcitxt").text(), QStringLiteral("2"));
    QCOMPARE(control<QLineEdit>(w, "kuglicetxt").text(), QStringLiteral("1"));
    QCOMPARE(control<QLineEdit>(w, "brzinatxt").text(), QStringLiteral("1"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Kuglovica"));
    QCOMPARE(w.objectName(), QStringLiteral("Kuglovica"));
    QCOMPARE(w.state().aboutText, std::string("Simulator Kuglovice,\r\nverzija 1"));
    QCOMPARE(w.state().titleText, std::string("Kuglovica"));
    QVERIFY(w.state().needsReset);
    QCOMPARE(w.state().ballsLeft, Integer{0});
    // The first resize on showing redraws the board but starts no run. The
    // window is 25 wider than designed: "Brzina simulacije:" needs 106 pixels
    // in the default font, and the frames grow by what their labels need.
    QCOMPARE(w.size(), QSize(421, 355));
}

// The eighteen visible controls, each as the table has it: its kind, its
// container, its initial state. The three pieces that the layout moves
// (params, gumbi, simarea) stand where the layout puts them in the 421 x 355
// window; the buttons where they were designed; everything in the parameter
// frame where it was designed, moved and widened only as far as the default
// font's captions need: the rows four pixels lower, where the style starts a
// frame's contents below its caption, "Brzina simulacije:" 25 pixels wider
// with its field moved along, three check boxes wider, and the trace box one
// pixel taller, which moves "Zvuk" down by one more.
void TestStartup::controls_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<QRect>("geometry");
    // params hugs the right edge 5 from it, gumbi right below it and as wide,
    // simarea ends 10 left of params and takes the full height.
    const std::map<QString, QRect> measured{{"gumbi", {421 - 170 - 5, 5 + 246, 170, 49}},
                                            {"simarea", {0, 0, 246 - 10, 355}},
                                            {"params", {246, 5, 170, 246}},
                                            {"petljachk", {24, 172, 89, 17}},
                                            {"tragchk", {8, 204, 142, 14}},
                                            {"brzachk", {8, 156, 121, 17}},
                                            {"Check1", {8, 221, 50, 17}},
                                            {"teorijskachk", {8, 84, 138, 17}},
                                            {"brzinatxt", {121, 116, 41, 25}},
                                            {"kuglicetxt", {96, 52, 41, 25}},
                                            {"stupcitxt", {96, 20, 41, 25}},
                                            {"brzinalbl", {8, 116, 106, 25}},
                                            {"kuglicelbl", {8, 52, 81, 25}},
                                            {"stupcilbl", {8, 20, 81, 25}}};
    for (std::size_t i = 0; i < controlCount; ++i) {
        const Box b = pixels(controlTable[i].designed);
        const QString name = nameOf(controlAt(i));
        QTest::newRow(controlTable[i].name)
            << int(i) << (measured.count(name) ? measured.at(name) : QRect(b.x, b.y, b.w, b.h));
    }
}

void TestStartup::controls() {
    QFETCH(int, control);
    QFETCH(QRect, geometry);
    const ControlDesign& design = controlTable[std::size_t(control)];
    const auto matches = window_->window().findChildren<QWidget*>(design.name);
    QCOMPARE(matches.size(), 1);
    const QWidget* w = matches.front();
    QVERIFY2(w->inherits(widgetClass.at(design.kind)), w->metaObject()->className());
    QVERIFY(w->parentWidget());
    QCOMPARE(w->parentWidget()->objectName(),
             design.container ? nameOf(*design.container) : QStringLiteral("Kuglovica"));
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(w->isEnabled(), design.enabled);
    QVERIFY(w->isVisible());
    if (auto* box = qobject_cast<const QCheckBox*>(w))
        QCOMPARE(box->isChecked(), design.checked);
    // The captions as designed, with no access keys (an ampersand would
    // underline a letter); the fields show the start-up values instead of
    // their designed texts (startupValues).
    if (design.kind != ControlKind::TextBox)
        QCOMPARE(captionOf(w), QString::fromUtf8(design.captionShown ? design.caption : ""));
    QVERIFY(!captionOf(w).contains(QLatin1Char('&')));
}

void TestStartup::focusPolicies() {
    // Frames and labels take no focus.
    for (std::size_t i = 0; i < controlCount; ++i)
        if (!takesFocus(controlAt(i)))
            QCOMPARE(control<QWidget>(window_->window(), controlTable[i].name).focusPolicy(),
                     Qt::NoFocus);
}

// Tabbing walks the designed order and skips the controls disabled at start
// (stopcmd, fullstopcmd, Check1, petljachk); shift-tab walks it back.
void TestStartup::tabOrder() {
    MainWindow& w = window_->window();
    QStringList designed, forward;
    for (Control c : tabChain()) {
        designed << nameOf(c);
        if (designOf(c).enabled && c != Control::simarea)
            forward << nameOf(c);
    }
    forward << QStringLiteral("simarea");
    control<QWidget>(w, "simarea").setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), &control<QWidget>(w, "simarea"));
    QStringList visited;
    for (qsizetype i = 0; i < forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, forward);

    QStringList backward;
    for (qsizetype i = 0; i < forward.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backward.prepend(QApplication::focusWidget()->objectName());
    }
    QStringList expectedBack = forward;
    expectedBack.move(expectedBack.size() - 1, 0); // ends back on simarea
    QCOMPARE(backward, expectedBack);

    // The full chain, disabled controls included, in the designed order.
    QStringList chain;
    QWidget* next = &control<QWidget>(w, "simarea");
    do {
        if (next->focusPolicy() & Qt::TabFocus)
            chain << next->objectName();
        next = next->nextInFocusChain();
    } while (next != &control<QWidget>(w, "simarea"));
    QCOMPARE(chain, designed);
}

// The designed window gives a drawing area of 232 x 351 inside the 2-pixel
// border: cell 21, ball radius 7, at most 250 balls, one ball 167 high.
void TestStartup::boardGeometry() {
    MainWindow& w = window_->window();
    auto& area = control<SimArea>(w, "simarea");
    QCOMPARE(area.contentsRect(), QRect(2, 2, 232, 351));
    QCOMPARE(area.surface().scaleWidth(), 232);
    QCOMPARE(area.surface().scaleHeight(), 351);
    QCOMPARE(area.picture().deviceIndependentSize().toSize(), QSize(232, 351));
    QCOMPARE(w.state().cellSize, Integer{21});
    QCOMPARE(w.state().ballRadius, Integer{7});
    QCOMPARE(w.state().maxBalls, Integer{250});
    QCOMPARE(w.state().barUnit, Integer{167});
    QCOMPARE(w.settings().columns, 2);
    QCOMPARE(w.state().binCounts.upper(), 32);
    QCOMPARE(w.state().theoryCounts.upper(), 32);
}

void TestStartup::buttonPictures_data() {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < controlCount; ++i)
        if (controlTable[i].kind == ControlKind::PictureButton)
            QTest::newRow(controlTable[i].name) << int(i);
}

// Each picture is a navy shape on a transparent ground; the disabled picture
// is the same shape with every other navy pixel left out.
void TestStartup::buttonPictures() {
    QFETCH(int, index);
    const ControlDesign& design = controlTable[std::size_t(index)];
    const QString name = QString::fromLatin1(design.name);
    const bool checkerboarded = *design.disabledPicture != '\0';
    const auto& button = control<QPushButton>(window_->window(), design.name);
    QCOMPARE(button.accessibleName(), QString::fromUtf8(design.accessibleName));
    QVERIFY(button.toolTip().isEmpty());
    QVERIFY(button.text().isEmpty());
    QCOMPARE(button.iconSize(), QSize(16, 16));

    const QImage normal = button.icon()
                              .pixmap(QSize(16, 16), 1.0, QIcon::Normal)
                              .toImage()
                              .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(normal.size(), QSize(16, 16));
    int navy = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = normal.pixel(x, y);
            QVERIFY2(isNavy(p) || qAlpha(p) == 0,
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            navy += isNavy(p);
        }
    QVERIFY(navy > 0);
    if (!checkerboarded)
        return;

    const QImage disabled = button.icon()
                                .pixmap(QSize(16, 16), 1.0, QIcon::Disabled)
                                .toImage()
                                .convertToFormat(QImage::Format_ARGB32);
    QVERIFY(disabled != normal);
    // Which of the two checkerboard colours is kept is a matter of drawing;
    // the shape must be the normal one thinned on one of them.
    const int parity = [&] {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (isNavy(disabled.pixel(x, y)))
                    return (x + y) % 2;
        return -1;
    }();
    QVERIFY(parity >= 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool expected = isNavy(normal.pixel(x, y)) && (x + y) % 2 == parity;
            QVERIFY2(
                isNavy(disabled.pixel(x, y)) == expected,
                qPrintable(QStringLiteral("%1 disabled picture at %2,%3").arg(name).arg(x).arg(y)));
        }
}

// The window rendered offscreen: the board's first drawing shows through
// simarea's 2-pixel border at the pixels the board puts there.
void TestStartup::screenshot() {
    const QImage shot = window_->window().grab().toImage();
    const qreal dpr = shot.devicePixelRatio();
    QCOMPARE(shot.deviceIndependentSize().toSize(), QSize(421, 355));

    const QString dir = qEnvironmentVariable("KUG_ARTIFACTS", QDir::tempPath());
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(shot.save(dir + QStringLiteral("/startup_window.png")));

    const QPoint border(2, 2);
    const auto at = [&](int x, int y) {
        const QPoint p = (QPoint(x, y) + border) * dpr;
        return shot.pixelColor(p);
    };
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    // 2 columns, cell 21, centre 116: the peg at (116, 63); bin walls at
    // x = 74, 116 and 158 from y = 84 down to the floor at y = 252.
    QCOMPARE(at(116, 63), black);
    QCOMPARE(at(74, 150), black);
    QCOMPARE(at(158, 100), black);
    QCOMPARE(at(95, 252), black);
    QCOMPARE(at(137, 252), black);
    // Around them: the peg is small, the bins are empty.
    QCOMPARE(at(116, 50), white);
    QCOMPARE(at(95, 150), white);
    QCOMPARE(at(95, 251), white);
    QCOMPARE(at(60, 150), white);
    QCOMPARE(at(95, 260), white);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
