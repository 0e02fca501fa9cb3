// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/main_window.h"

#include "desktop/accessible_widgets.h"
#include "desktop/double_click.h"
#include "desktop/param_field.h"
#include "desktop/sim_area.h"
#include "desktop/wake_ups.h"

#include <QApplication>
#include <QCheckBox>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

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
    for (QWidget* control : controls_)
        disconnect(control, nullptr, this, nullptr);
}

// Each control's signals, by its kind, to the form's one entry for a user's
// event; the form knows which control and event have a handler.
void MainWindow::connectHandlers() {
    for (std::size_t i = 0; i < controlCount; ++i) {
        const Control control = controlAt(i);
        const auto to = [this, control](UserEvent event) {
            return [this, control, event] { form_.handle(control, event); };
        };
        QWidget* w = widget(control);
        switch (controlTable[i].kind) {
        case ControlKind::TextBox: {
            const auto* field = static_cast<ParamField*>(w);
            connect(field, &ParamField::clicked, this, to(UserEvent::Click));
            connect(field, &ParamField::doubleClicked, this, to(UserEvent::DblClick));
            connect(field, &ParamField::lostFocus, this, to(UserEvent::LostFocus));
            // A text that arrives other than by typing is validated at once.
            connect(field, &ParamField::changedFromOutside, this, to(UserEvent::LostFocus));
            break;
        }
        case ControlKind::CheckBox:
            // A box's handler runs on every change of its tick, not only on a
            // click: an assistive tool's toggle action changes it without one.
            connect(static_cast<QCheckBox*>(w), &QCheckBox::toggled, this, to(UserEvent::Click));
            break;
        case ControlKind::PictureButton:
            connect(static_cast<QPushButton*>(w), &QPushButton::clicked, this,
                    to(UserEvent::Click));
            break;
        case ControlKind::DrawingArea:
            connect(static_cast<SimArea*>(w), &SimArea::doubleClicked, this,
                    to(UserEvent::DblClick));
            break;
        case ControlKind::Frame:
        case ControlKind::Label:
            break;
        }
    }
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
        form_.handle(std::nullopt, UserEvent::DblClick);
}

// ---- The view ----------------------------------------------------------------

QWidget* MainWindow::widget(Control control) const {
    return controls_[static_cast<std::size_t>(control)];
}

SimArea& MainWindow::area() const {
    return *static_cast<SimArea*>(widget(Control::simarea));
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

void MainWindow::setChecked(Control box, bool ticked) {
    const QSignalBlocker quiet(widget(box));
    static_cast<QCheckBox*>(widget(box))->setChecked(ticked);
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
    return area().surface();
}

void MainWindow::describeBoard(const std::string& text) {
    area().describe(qText(text));
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
