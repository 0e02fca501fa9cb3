// SPDX-License-Identifier: GPL-3.0-or-later
// Creation of the twenty controls with their designed names, captions,
// positions (twips / 15 = pixels), tab order and initial states.

#include "app/ball_timer.h"
#include "app/main_window.h"
#include "app/param_field.h"
#include "app/picture_button.h"
#include "app/sim_area.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTimer>

namespace kug {

namespace {

// Designed twips to pixels on a 96-dpi screen.
constexpr int px(int twips) { return twips / 15; }

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
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
    FastTimmy = named(new QTimer(this), "FastTimmy");
    FastTimmy->setInterval(100);
    gumbi = named(new QGroupBox(this), "gumbi"); // holds the buttons; no caption drawn
    exitcmd = named(new PictureButton(":/exit.xpm", {}, "Izlaz", gumbi), "exitcmd");
    fullstopcmd = named(new PictureButton(":/stop.xpm", ":/stop_disabled.xpm", "Zaustavi", gumbi),
                        "fullstopcmd");
    fullstopcmd->setEnabled(false);
    stopcmd = named(new PictureButton(":/pause.xpm", ":/pause_disabled.xpm", "Pauza", gumbi),
                    "stopcmd");
    stopcmd->setEnabled(false);
    startcmd = named(new PictureButton(":/play.xpm", ":/play_disabled.xpm", "Pokreni", gumbi),
                     "startcmd");
    Timmy = named(new BallTimer(this), "Timmy");
    Timmy->setInterval(0); // enabled with interval 0: never fires until start-up sets it
    Timmy->setEnabled(true);
    simarea = named(new SimArea(this), "simarea");
    params = named(new QGroupBox(QStringLiteral("Parametri"), this), "params");
    petljachk = checkBox(QStringLiteral("U petlji"), params, "petljachk", false);
    tragchk = checkBox(QStringLiteral("Kuglica ostavlja trag"), params, "tragchk", true);
    brzachk = checkBox(QStringLiteral("Brza simulacija"), params, "brzachk", true);
    Check1 = checkBox(QStringLiteral("Zvuk"), params, "Check1", false);
    teorijskachk = checkBox(QStringLiteral("Teorijska raspodjela"), params, "teorijskachk", true);
    brzinatxt = named(new ParamField(params), "brzinatxt");
    brzinatxt->setText(QStringLiteral("Text3"));
    kuglicetxt = named(new ParamField(params), "kuglicetxt");
    kuglicetxt->setText(QStringLiteral("Text2"));
    stupcitxt = named(new ParamField(params), "stupcitxt");
    stupcitxt->setText(QStringLiteral("Text1"));
    brzinalbl = label(QStringLiteral("Brzina simulacije:"), params, "brzinalbl");
    kuglicelbl = label(QStringLiteral("Broj kuglica:"), params, "kuglicelbl");
    stupcilbl = label(QStringLiteral("Broj stupaca:"), params, "stupcilbl");
}

void MainWindow::placeDesignedGeometry() {
    place(gumbi, 3720, 3600, 2175, 735);
    place(exitcmd, 1680, 120, 450, 450);
    place(fullstopcmd, 1020, 120, 450, 450);
    place(stopcmd, 570, 120, 450, 450);
    place(startcmd, 120, 120, 450, 450);
    place(simarea, 0, 0, 3615, 3855);
    place(params, 3720, 0, 2175, 3615);
    place(petljachk, 360, 2520, 1335, 255);
    place(tragchk, 120, 3000, 1815, 195);
    place(brzachk, 120, 2280, 1815, 255);
    place(Check1, 120, 3240, 735, 255);
    place(teorijskachk, 120, 1200, 1815, 255);
    place(brzinatxt, 1440, 1680, 615, 375);
    place(kuglicetxt, 1440, 720, 615, 375);
    place(stupcitxt, 1440, 240, 615, 375);
    place(brzinalbl, 120, 1680, 1215, 375);
    place(kuglicelbl, 120, 720, 1215, 375);
    place(stupcilbl, 120, 240, 1215, 375);
}

void MainWindow::setTabOrder() {
    // Frames and labels take no focus; the chain holds the focusable controls
    // in their designed tab order.
    QWidget* const chain[] = {simarea, stupcitxt, kuglicetxt, brzinatxt, startcmd, stopcmd,
                              fullstopcmd, exitcmd, teorijskachk, Check1, brzachk, tragchk,
                              petljachk};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

} // namespace kug
