// SPDX-License-Identifier: GPL-3.0-or-later
// Creation of the twenty controls with their designed names, captions, tab
// order and initial states, and the measuring of their captions in the
// platform's font, by which the form fits the frames.

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

template <typename T> T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QCheckBox* checkBox(const QString& caption, QWidget* parent, const char* name, bool enabled) {
    auto* box = named(new QCheckBox(caption, parent), name);
    box->setEnabled(enabled);
    return box;
}

QLabel* label(const QString& caption, QWidget* parent, const char* name) {
    auto* l = named(new QLabel(caption, parent), name);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

} // namespace

void MainWindow::createControls() {
    gumbi = named(new QGroupBox(this), "gumbi"); // holds the buttons; no caption drawn
    exitcmd = named(new PictureButton(":/exit.xpm", {}, "Izlaz", gumbi), "exitcmd");
    fullstopcmd = named(new PictureButton(":/stop.xpm", ":/stop_disabled.xpm", "Zaustavi", gumbi),
                        "fullstopcmd");
    fullstopcmd->setEnabled(false);
    stopcmd =
        named(new PictureButton(":/pause.xpm", ":/pause_disabled.xpm", "Pauza", gumbi), "stopcmd");
    stopcmd->setEnabled(false);
    startcmd =
        named(new PictureButton(":/play.xpm", ":/play_disabled.xpm", "Pokreni", gumbi), "startcmd");
    simarea = named(new SimArea(this), "simarea");
    wakeUps_ = new WakeUps(*this, form_.clock(), simarea->pacer());
    params = named(new QGroupBox(QStringLiteral("Parametri"), this), "params");
    petljachk = checkBox(QStringLiteral("U petlji"), params, "petljachk", false);
    tragchk = checkBox(QStringLiteral("Kuglica ostavlja trag"), params, "tragchk", true);
    brzachk = checkBox(QStringLiteral("Brza simulacija"), params, "brzachk", true);
    Check1 = checkBox(QStringLiteral("Zvuk"), params, "Check1", false);
    teorijskachk = checkBox(QStringLiteral("Teorijska raspodjela"), params, "teorijskachk", true);
    brzinatxt = named(new ParamField(params), "brzinatxt");
    brzinatxt->write(QStringLiteral("Text3"));
    kuglicetxt = named(new ParamField(params), "kuglicetxt");
    kuglicetxt->write(QStringLiteral("Text2"));
    stupcitxt = named(new ParamField(params), "stupcitxt");
    stupcitxt->write(QStringLiteral("Text1"));
    brzinalbl = label(QStringLiteral("Brzina simulacije:"), params, "brzinalbl");
    kuglicelbl = label(QStringLiteral("Broj kuglica:"), params, "kuglicelbl");
    stupcilbl = label(QStringLiteral("Broj stupaca:"), params, "stupcilbl");
    // A field takes its accessible name from its label; without a buddy it
    // would take its frame's title, and all three would be "Parametri".
    brzinalbl->setBuddy(brzinatxt);
    kuglicelbl->setBuddy(kuglicetxt);
    stupcilbl->setBuddy(stupcitxt);
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
    QWidget* const chain[] = {simarea, stupcitxt,   kuglicetxt, brzinatxt,    startcmd,
                              stopcmd, fullstopcmd, exitcmd,    teorijskachk, Check1,
                              brzachk, tragchk,     petljachk};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace kug
