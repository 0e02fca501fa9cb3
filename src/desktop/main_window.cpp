// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/main_window.h"

#include "desktop/accessible_widgets.h"
#include "desktop/double_click.h"
#include "desktop/param_field.h"
#include "desktop/picture_button.h"
#include "desktop/sim_area.h"
#include "desktop/wake_ups.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>

// The pictures live in the static UI library, whose resources must be
// registered by hand.
static void initAssets() {
    Q_INIT_RESOURCE(assets);
}

namespace kug {

namespace {

QString qText(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<RandomSource> random, QWidget* parent)
    : QWidget(parent), form_(*this, std::move(random)) {
    initAssets();
    installAccessibleWidgets();
    setObjectName(QStringLiteral("Kuglovica"));
    // The same design drawn at each size, so that no size is a scaled copy.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icon%1.xpm").arg(size), QSize(size, size));
    setWindowIcon(icon);
    createControls();
    setTabOrder();
    connectHandlers();
    form_.start();
    built_ = true;
}

MainWindow::~MainWindow() {
    // Closing an active window takes the focus from a field, and the native
    // window still has events to deliver; no handler and no tick may run on
    // a window that is half destroyed.
    wakeUps_->stop();
    for (ParamField* field : {stupcitxt, kuglicetxt, brzinatxt})
        disconnect(field, nullptr, this, nullptr);
}

void MainWindow::connectHandlers() {
    Form* f = &form_;
    connect(simarea, &SimArea::doubleClicked, this, [f] { f->simarea_DblClick(); });
    connect(exitcmd, &QPushButton::clicked, this, [f] { f->exitcmd_Click(); });
    connect(startcmd, &QPushButton::clicked, this, [f] { f->startcmd_Click(); });
    connect(stopcmd, &QPushButton::clicked, this, [f] { f->stopcmd_Click(); });
    connect(fullstopcmd, &QPushButton::clicked, this, [f] { f->fullstopcmd_Click(); });
    const struct {
        ParamField* field;
        void (Form::*click)();
        void (Form::*doubleClick)();
        void (Form::*lostFocus)();
    } fields[] = {
        {stupcitxt, &Form::stupcitxt_Click, &Form::stupcitxt_DblClick, &Form::stupcitxt_LostFocus},
        {kuglicetxt, &Form::kuglicetxt_Click, &Form::kuglicetxt_DblClick,
         &Form::kuglicetxt_LostFocus},
        {brzinatxt, &Form::brzinatxt_Click, &Form::brzinatxt_DblClick, &Form::brzinatxt_LostFocus},
    };
    for (const auto& e : fields) {
        connect(e.field, &ParamField::clicked, this, [f, h = e.click] { (f->*h)(); });
        connect(e.field, &ParamField::doubleClicked, this, [f, h = e.doubleClick] { (f->*h)(); });
        connect(e.field, &ParamField::lostFocus, this, [f, h = e.lostFocus] { (f->*h)(); });
        // A text that arrives other than by typing is validated at once.
        connect(e.field, &ParamField::changedFromOutside, this,
                [f, h = e.lostFocus] { (f->*h)(); });
    }
    // A box's handler runs on every change of its tick, not only on a click:
    // an assistive tool's toggle action changes it without one.
    connect(brzachk, &QCheckBox::toggled, this, [f] { f->brzachk_Click(); });
    connect(teorijskachk, &QCheckBox::toggled, this, [f] { f->teorijskachk_Click(); });
}

// ---- The window's own events ----------------------------------------------

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    form_.Form_Resize();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        form_.Form_Resize();
    } else if (built_ && event->type() == QEvent::FontChange) {
        // A new desktop font: the captions are measured again, and the board,
        // refitted to what room is left, starts over as after a resize.
        form_.fontChanged();
    }
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Double-clicks that a label, a frame or a disabled control let through
    // climb up to here; only the bare window surface opens the About box.
    if (takeDoubleClick(event) && childAt(event->position().toPoint()) == nullptr)
        form_.Form_DblClick();
}

// ---- The view ----------------------------------------------------------------

QWidget* MainWindow::widget(Control control) const {
    switch (control) {
    case Control::params:
        return params;
    case Control::gumbi:
        return gumbi;
    case Control::simarea:
        return simarea;
    case Control::startcmd:
        return startcmd;
    case Control::stopcmd:
        return stopcmd;
    case Control::fullstopcmd:
        return fullstopcmd;
    case Control::exitcmd:
        return exitcmd;
    case Control::stupcitxt:
        return stupcitxt;
    case Control::kuglicetxt:
        return kuglicetxt;
    case Control::brzinatxt:
        return brzinatxt;
    case Control::brzachk:
        return brzachk;
    case Control::petljachk:
        return petljachk;
    case Control::tragchk:
        return tragchk;
    case Control::teorijskachk:
        return teorijskachk;
    case Control::Check1:
        return Check1;
    case Control::stupcilbl:
        return stupcilbl;
    case Control::kuglicelbl:
        return kuglicelbl;
    case Control::brzinalbl:
        return brzinalbl;
    }
    return nullptr;
}

void MainWindow::setEnabled(Control control, bool enabled) {
    widget(control)->setEnabled(enabled);
}

bool MainWindow::holdsFocus(Control control) const {
    return widget(control)->isAncestorOf(focusWidget());
}

void MainWindow::setFocus(Control control) {
    widget(control)->setFocus(Qt::OtherFocusReason);
}

void MainWindow::place(Control control, const Box& box) {
    widget(control)->setGeometry(box.x, box.y, box.w, box.h);
}

std::string MainWindow::text(Control field) const {
    return static_cast<const ParamField*>(widget(field))->text().toStdString();
}

void MainWindow::setText(Control field, const std::string& text) {
    static_cast<ParamField*>(widget(field))->write(qText(text));
}

void MainWindow::selectAll(Control field) {
    auto* f = static_cast<ParamField*>(widget(field));
    f->setSelection(0, f->text().size());
}

bool MainWindow::isChecked(Control box) const {
    return static_cast<const QCheckBox*>(widget(box))->checkState() == Qt::Checked;
}

std::int64_t MainWindow::now() const {
    return wakeUps_->now();
}

void MainWindow::wakeAt(std::optional<std::int64_t> ns) {
    wakeUps_->wakeAt(ns);
}

Extent MainWindow::innerSize() const {
    return Extent{width(), height()};
}

void MainWindow::resizeInner(Extent size) {
    resize(size.w, size.h);
}

void MainWindow::setMinimumInner(Extent size) {
    setMinimumSize(size.w, size.h);
}

bool MainWindow::isMinimized() const {
    return QWidget::isMinimized();
}

void MainWindow::setTitle(const std::string& title) {
    setWindowTitle(qText(title));
}

Surface& MainWindow::board() {
    return simarea->surface();
}

void MainWindow::describeBoard(const std::string& text) {
    simarea->describe(qText(text));
}

void MainWindow::showAbout(const std::string& title, const std::string& text) {
    QString lines = qText(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Information, qText(title), lines, QMessageBox::Ok, this);
    const TickClock::OwnLoop loop(form_.clock());
    box.exec();
}

void MainWindow::quit() {
    QApplication::exit(0);
}

} // namespace kug
