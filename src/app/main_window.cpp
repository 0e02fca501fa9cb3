// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/accessible_widgets.h"
#include "app/ball_timer.h"
#include "app/param_field.h"
#include "app/picture_button.h"
#include "app/sim_area.h"
#include "render/board_description.h"
#include "render/plot_kv.h"
#include "render/theory_fill.h"
#include "sim/animated_ball.h"
#include "sim/fast_sim.h"
#include "sim/run_setup.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

// The pictures live in the static UI library, whose resources must be
// registered by hand.
static void initAssets() {
    Q_INIT_RESOURCE(assets);
}

namespace kug {

namespace {

// The designed inner area of the window.
constexpr QSize designedInnerSize(396, 355);
// The frames' distance from the top and the right edge of the window.
constexpr int frameMargin = 5;

bool ticked(const QCheckBox* box) {
    return box->checkState() == Qt::Checked;
}

QString qText(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<RandomSource> random, QWidget* parent)
    : QWidget(parent), random_(random ? std::move(random) : std::make_unique<Mt19937Source>()) {
    initAssets();
    installAccessibleWidgets();
    setObjectName(QStringLiteral("Kuglovica"));
    setWindowTitle(QStringLiteral("Kuglovica"));
    // The same design drawn at each size, so that no size is a scaled copy.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icon%1.xpm").arg(size), QSize(size, size));
    setWindowIcon(icon);
    createControls();
    placeDesignedGeometry();
    framesExtraWidth_ = fitFramesToFont();
    // The window grows by what the frames grew, so that the drawing area keeps
    // its designed size, and grows taller if the frames need it.
    const int framesBottom = frameMargin + params->height() + gumbi->height() + frameMargin;
    resize(designedInnerSize.width() + framesExtraWidth_,
           std::max(designedInnerSize.height(), framesBottom));
    setTabOrder();
    connectHandlers();
    Form_Load();
    setMinimumSize(minimumInner());
    built_ = true;
}

QSize MainWindow::minimumInner() const {
    // The stored minimum is the outer size in twips, less the borders (60
    // twips each side, 345 on top).
    const QSize stored((state_.minFormWidth - 2 * 60) / 15, (state_.minFormHeight - 345 - 60) / 15);
    const int framesBottom = frameMargin + params->height() + gumbi->height() + frameMargin;
    return QSize(stored.width() + framesExtraWidth_, std::max(stored.height(), framesBottom));
}

MainWindow::~MainWindow() {
    // Closing an active window takes the focus from a field; no handler may
    // run on a window that is half destroyed.
    for (ParamField* field : {stupcitxt, kuglicetxt, brzinatxt})
        disconnect(field, nullptr, this, nullptr);
}

void MainWindow::connectHandlers() {
    connect(simarea, &SimArea::doubleClicked, this, &MainWindow::simarea_DblClick);
    connect(exitcmd, &QPushButton::clicked, this, &MainWindow::exitcmd_Click);
    connect(startcmd, &QPushButton::clicked, this, &MainWindow::startcmd_Click);
    connect(stopcmd, &QPushButton::clicked, this, &MainWindow::stopcmd_Click);
    connect(fullstopcmd, &QPushButton::clicked, this, &MainWindow::fullstopcmd_Click);
    connect(stupcitxt, &ParamField::clicked, this, &MainWindow::stupcitxt_Click);
    connect(stupcitxt, &ParamField::doubleClicked, this, &MainWindow::stupcitxt_DblClick);
    connect(stupcitxt, &ParamField::lostFocus, this, &MainWindow::stupcitxt_LostFocus);
    connect(stupcitxt, &ParamField::changedFromOutside, this, &MainWindow::stupcitxt_LostFocus);
    connect(kuglicetxt, &ParamField::clicked, this, &MainWindow::kuglicetxt_Click);
    connect(kuglicetxt, &ParamField::doubleClicked, this, &MainWindow::kuglicetxt_DblClick);
    connect(kuglicetxt, &ParamField::lostFocus, this, &MainWindow::kuglicetxt_LostFocus);
    connect(kuglicetxt, &ParamField::changedFromOutside, this, &MainWindow::kuglicetxt_LostFocus);
    connect(brzinatxt, &ParamField::clicked, this, &MainWindow::brzinatxt_Click);
    connect(brzinatxt, &ParamField::doubleClicked, this, &MainWindow::brzinatxt_DblClick);
    connect(brzinatxt, &ParamField::lostFocus, this, &MainWindow::brzinatxt_LostFocus);
    connect(brzinatxt, &ParamField::changedFromOutside, this, &MainWindow::brzinatxt_LostFocus);
    // A box's handler runs on every change of its tick, not only on a click:
    // an assistive tool's toggle action changes it without one.
    connect(brzachk, &QCheckBox::toggled, this, &MainWindow::brzachk_Click);
    connect(teorijskachk, &QCheckBox::toggled, this, &MainWindow::teorijskachk_Click);
    connect(Timmy, &BallTimer::timeout, this, &MainWindow::Timmy_Timer);
    connect(FastTimmy, &QTimer::timeout, this, &MainWindow::FastTimmy_Timer);
}

// ---- Start-up ------------------------------------------------------------

void MainWindow::Form_Load() {
    loadDefaults(state_); // texts, bounds, arrays, colours, needsReset
    stupcitxt->write(qText(decimalText(state_.minColumns)));
    kuglicetxt->write(qText(decimalText(state_.minBalls)));
    brzinatxt->write(qText(decimalText(state_.minSpeed)));
    settings_ = RunSettings{state_.minColumns, state_.minBalls, state_.minSpeed};
    Timmy->setInterval(timerIntervalFor(settings_.speed));
    Timmy->setEnabled(false);
    params->move(params->x(), frameMargin);
    gumbi->move(gumbi->x(), params->height() + params->y());
    simarea->move(0, 0);
    placeHorizontally();
    setWindowTitle(qText(state_.titleText));
    theoryfill();
    plotKV();
    state_.maxBalls = maxBallsFor(state_.cellSize);
    state_.barUnit = barUnitFor(state_.cellSize, settings_.balls);
}

void MainWindow::placeHorizontally() {
    params->move(width() - params->width() - frameMargin, params->y());
    gumbi->move(width() - gumbi->width() - frameMargin, gumbi->y());
    simarea->resize(params->x() - 10, height());
}

// ---- Layout --------------------------------------------------------------

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    } else if (built_ && event->type() == QEvent::FontChange) {
        // A new desktop font: the captions are measured again, and the board,
        // refitted to what room is left, starts over as after a resize.
        framesExtraWidth_ = fitFramesToFont();
        setMinimumSize(minimumInner());
        Form_Resize();
    }
}

void MainWindow::Form_Resize() {
    Timmy->setEnabled(false);
    FastTimmy->stop();
    setIdleControls();
    state_.needsReset = true;
    if (isMinimized())
        return;
    // The minimum itself is a native constraint; this only catches a window
    // manager that ignored it.
    const QSize least = minimumInner();
    if (height() < least.height() || width() < least.width())
        resize(size().expandedTo(least));
    placeHorizontally();
    plotKV();
}

void MainWindow::setIdleControls() {
    setRunControl(startcmd, true);
    setRunControl(stopcmd, false);
    setRunControl(fullstopcmd, false);
    setRunControl(params, true);
}

void MainWindow::setRunControl(QWidget* control, bool enabled) {
    // Qt would hand the focus of a control it disables to the next one in the
    // chain, which may be exit or abort: one Space would then end the program.
    if (!enabled && control->isAncestorOf(focusWidget()))
        simarea->setFocus(Qt::OtherFocusReason);
    control->setEnabled(enabled);
}

// ---- About box and exit ----------------------------------------------------

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Double-clicks that a label, a frame or a disabled control let through
    // climb up to here; only the bare window surface opens the About box.
    if (event->button() == Qt::LeftButton && childAt(event->position().toPoint()) == nullptr)
        Form_DblClick();
    event->accept();
}

void MainWindow::Form_DblClick() {
    QString text = qText(state_.aboutText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Information, qText(state_.titleText), text, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::simarea_DblClick() {
    Form_DblClick();
}

void MainWindow::exitcmd_Click() {
    QApplication::exit(0);
}

// ---- Parameter fields --------------------------------------------------------

void MainWindow::selectAll(ParamField* field) {
    field->setSelection(0, field->text().size());
}

Integer MainWindow::accept(ParamField* field, FieldBounds bounds) {
    const std::string text = normaliseFieldText(field->text().toStdString(), bounds);
    field->write(qText(text));
    return toInteger(numberValue(text));
}

void MainWindow::stupcitxt_Click() {
    selectAll(stupcitxt);
}
void MainWindow::kuglicetxt_Click() {
    selectAll(kuglicetxt);
}
void MainWindow::brzinatxt_Click() {
    selectAll(brzinatxt);
}

void MainWindow::stupcitxt_DblClick() {
    stupcitxt->write(qText(decimalText(state_.maxColumns)));
}
void MainWindow::kuglicetxt_DblClick() {
    kuglicetxt->write(qText(decimalText(state_.maxBalls)));
}
void MainWindow::brzinatxt_DblClick() {
    brzinatxt->write(qText(decimalText(state_.maxSpeed)));
}

void MainWindow::stupcitxt_LostFocus() {
    settings_.columns = accept(stupcitxt, {state_.minColumns, state_.maxColumns});
    state_.binCounts.redim(settings_.columns);
    state_.theoryCounts.redim(settings_.columns);
    theoryfill();
    plotKV();
}

void MainWindow::kuglicetxt_LostFocus() {
    const Integer balls = accept(kuglicetxt, {state_.minBalls, state_.maxBalls});
    // Counts kept from a finished run belong to its ball count: at another
    // count's bar height they would be drawn at a false scale.
    if (balls != settings_.balls)
        state_.binCounts.clearFirst(state_.binCounts.upper());
    settings_.balls = balls;
    state_.barUnit = barUnitFor(state_.cellSize, settings_.balls);
    theoryfill();
    plotKV();
}

void MainWindow::brzinatxt_LostFocus() {
    settings_.speed = accept(brzinatxt, {state_.minSpeed, state_.maxSpeed});
    Timmy->setInterval(timerIntervalFor(settings_.speed));
}

// ---- Mode switches ---------------------------------------------------------

void MainWindow::brzachk_Click() {
    const bool fast = ticked(brzachk);
    tragchk->setEnabled(!fast);
    brzinalbl->setEnabled(!fast);
    brzinatxt->setEnabled(!fast);
    petljachk->setEnabled(fast);
}

void MainWindow::teorijskachk_Click() {
    plotKV();
}

// ---- Board procedures ------------------------------------------------------

Switches MainWindow::switches() const {
    return Switches{ticked(brzachk), ticked(petljachk), ticked(tragchk), ticked(teorijskachk)};
}

void MainWindow::plotKV() {
    kug::plotKV(state_, simarea->surface(), settings_, switches());
    describeBoard();
}

void MainWindow::describeBoard() {
    simarea->describe(qText(boardDescription(state_, settings_, switches())));
}

void MainWindow::theoryfill() {
    kug::theoryfill(state_, settings_);
}

void MainWindow::fastsim() {
    kug::fastsim(state_, *random_, settings_, simarea->surface().scaleWidth());
    if (!ticked(petljachk)) {
        setIdleControls();
        state_.needsReset = true;
    }
    plotKV();
}

// ---- Runs -------------------------------------------------------------------

void MainWindow::startcmd_Click() {
    setRunControl(startcmd, false);
    setRunControl(stopcmd, true);
    setRunControl(fullstopcmd, true);
    setRunControl(params, false);
    if (state_.needsReset) {
        freshRunSetup(state_, simarea->surface(), settings_, switches());
        describeBoard();
    }
    if (ticked(brzachk)) {
        if (ticked(petljachk)) {
            FastTimmy->start();
            setRunControl(stopcmd, false); // a loop can only be aborted
        } else {
            fastsim();
        }
    } else {
        Timmy->setEnabled(true);
    }
}

void MainWindow::stopcmd_Click() {
    Timmy->setEnabled(false);
    setRunControl(startcmd, true);
    setRunControl(stopcmd, false);
}

void MainWindow::fullstopcmd_Click() {
    Timmy->setEnabled(false);
    FastTimmy->stop();
    setIdleControls();
    state_.needsReset = true;
    state_.binCounts.clearFirst(settings_.columns);
}

void MainWindow::Timmy_Timer() {
    const TickOutcome outcome =
        ballTick(state_, simarea->surface(), *random_, settings_, switches());
    if (outcome == TickOutcome::Moved)
        return;
    describeBoard(); // the landing redrew the board
    if (outcome != TickOutcome::RunEnded)
        return;
    setIdleControls();
    state_.needsReset = true;
    Timmy->setEnabled(false);
}

void MainWindow::FastTimmy_Timer() {
    fastsim();
}

} // namespace kug
