// SPDX-License-Identifier: GPL-3.0-or-later
// The controls made from the table of designed controls (app/controls.h),
// with their names, captions, pictures, initial states and tab order, and the
// measuring of their captions in the platform's font, by which the form fits
// the frames.

#include "app/frame_fit.h"
#include "desktop/main_window.h"
#include "desktop/param_field.h"
#include "desktop/picture_button.h"
#include "desktop/sim_area.h"
#include "desktop/wake_ups.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace kug {

namespace {

// The least size a control's caption needs in its own font: a label its text,
// a check box its indicator, the gap and its text; in height, a line of text
// (a field, its own least height).
Extent captionNeedOf(const QWidget* w) {
    const QFontMetrics metrics = w->fontMetrics();
    if (auto* label = qobject_cast<const QLabel*>(w))
        return Extent{metrics.horizontalAdvance(label->text()), metrics.lineSpacing()};
    if (auto* box = qobject_cast<const QCheckBox*>(w)) {
        const QStyle* style = box->style();
        const int indicatorW = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box);
        const int indicatorH = style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, box);
        const int gap = style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
        return Extent{indicatorW + gap + metrics.horizontalAdvance(box->text()),
                      std::max(indicatorH, metrics.lineSpacing())};
    }
    return Extent{0, w->minimumSizeHint().height()};
}

// The first row of a frame starts where the style puts a frame's contents,
// below its caption.
int contentsTopOf(const QGroupBox* frame) {
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.textAlignment = frame->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return frame->style()
        ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, frame)
        .top();
}

QString resource(const char* picture) {
    return QStringLiteral(":/%1.xpm").arg(QLatin1String(picture));
}

} // namespace

void MainWindow::createControls() {
    // The table's order is the creation order, on which the stacking of
    // overlapping controls depends.
    for (std::size_t i = 0; i < controlCount; ++i) {
        const ControlDesign& s = controlTable[i];
        QWidget* w = createControl(s);
        w->setObjectName(QLatin1String(s.name));
        if (*s.accessibleName)
            w->setAccessibleName(QString::fromUtf8(s.accessibleName));
        controls_[i] = w;
    }
    // A field takes its accessible name from its label; without a buddy it
    // would take its frame's title, and all the fields would have one name.
    for (std::size_t i = 0; i < controlCount; ++i)
        if (const auto field = controlTable[i].names)
            static_cast<QLabel*>(controls_[i])->setBuddy(widget(*field));
}

QWidget* MainWindow::createControl(const ControlDesign& s) {
    QWidget* parent = s.container ? widget(*s.container) : this;
    const QString caption = QString::fromUtf8(s.caption);
    switch (s.kind) {
    case ControlKind::Frame: {
        auto* frame = new QGroupBox(parent);
        if (s.captionShown)
            frame->setTitle(caption);
        return frame;
    }
    case ControlKind::PictureButton:
        return new PictureButton(resource(s.picture),
                                 *s.disabledPicture ? resource(s.disabledPicture) : QString(),
                                 parent);
    case ControlKind::DrawingArea: {
        auto* area = new SimArea(parent);
        // The clock's wake-ups present the area's picture once a frame.
        wakeUps_ = new WakeUps(*this, form_.clock(), area->pacer());
        return area;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::TextBox:
        return new ParamField(parent);
    case ControlKind::Label: {
        auto* label = new QLabel(caption, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    }
    return nullptr;
}

Extent MainWindow::captionNeed(Control control) const {
    return captionNeedOf(widget(control));
}

int MainWindow::contentsTop(Control frame) const {
    return contentsTopOf(static_cast<const QGroupBox*>(widget(frame)));
}

void MainWindow::setTabOrder() {
    // Frames and labels take no focus; the chain holds the focusable controls
    // in their designed tab order.
    const std::vector<Control> chain = tabChain();
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(widget(chain[i - 1]), widget(chain[i]));
}

} // namespace kug
