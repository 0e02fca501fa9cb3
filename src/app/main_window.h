// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Kuglovica window: twenty controls as designed and their handlers. The
// handlers stay thin: they move controls and timers and call the board's core.
//
// Names. A control is named by a Croatian word for its role and a suffix for
// its kind: txt a text field, cmd a command button, chk a check box, lbl a
// label; the two frames are params and gumbi, the drawing area simarea, the
// ball's timer Timmy and the fast loop's FastTimmy. A handler is its control's
// name and the event, joined by an underscore (startcmd_Click). The words:
// stupci columns, kuglice balls, brzina speed, gumbi buttons, brza fast,
// petlja loop, trag trail, teorijska theoretical, params parameters,
// start/stop/fullstop start, pause and abort, exit exit.

#include "app/frame_fit.h"
#include "sim/random_source.h"
#include "state/board_state.h"
#include "state/parameter_rules.h"
#include "state/run_settings.h"

#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QTimer;

namespace kug {

class BallTimer;
class ParamField;
class PictureButton;
class SimArea;

class MainWindow final : public QWidget {
    Q_OBJECT
public:
    // `random` replaces the built-in source (tests script it).
    explicit MainWindow(std::unique_ptr<RandomSource> random = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    const BoardState& state() const { return state_; }
    BoardState& state() { return state_; }
    // The parameters as last accepted from the fields.
    const RunSettings& settings() const { return settings_; }
    BallTimer& timmy() const { return *Timmy; }
    QTimer& fastTimmy() const { return *FastTimmy; }

    // Handlers, named after their control and event.
    void Form_Load();
    void Form_Resize();
    void Form_DblClick();
    void simarea_DblClick();
    void exitcmd_Click();
    void stupcitxt_Click();
    void stupcitxt_DblClick();
    void stupcitxt_LostFocus();
    void kuglicetxt_Click();
    void kuglicetxt_DblClick();
    void kuglicetxt_LostFocus();
    void brzinatxt_Click();
    void brzinatxt_DblClick();
    void brzinatxt_LostFocus();
    void brzachk_Click();
    void teorijskachk_Click();
    void startcmd_Click();
    void stopcmd_Click();
    void fullstopcmd_Click();
    void Timmy_Timer();
    void FastTimmy_Timer();

    // Board procedures.
    void plotKV();
    void theoryfill();
    void fastsim();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void createControls();
    // The parameter frame's controls with their designed boxes.
    std::vector<std::pair<QWidget*, Box>> paramsDesign() const;
    void placeDesignedGeometry();
    // Widens and heightens the frames' controls where the font needs it and
    // returns how much wider the frames became.
    int fitFramesToFont();
    // The smallest inner size: the stored minimum, widened by the frames'
    // extra width and tall enough to show the whole button frame.
    QSize minimumInner() const;
    void setTabOrder();
    void connectHandlers();
    void placeHorizontally();
    void setIdleControls();
    // Enables or disables a control that a run switches; the focus never
    // passes from a disabled control to another button.
    void setRunControl(QWidget* control, bool enabled);
    void selectAll(ParamField* field);
    // Validation shared by the three fields: the text corrected into its
    // bounds, and its value.
    Integer accept(ParamField* field, FieldBounds bounds);
    Switches switches() const;
    // Tells assistive technology what the board's last drawing shows.
    void describeBoard();

    BoardState state_;
    std::unique_ptr<RandomSource> random_;
    RunSettings settings_;
    int framesExtraWidth_ = 0;
    bool built_ = false; // the constructor has run

    // Controls, in the order the window creates them.
    QTimer* FastTimmy = nullptr;
    QGroupBox* gumbi = nullptr;
    PictureButton* exitcmd = nullptr;
    PictureButton* fullstopcmd = nullptr;
    PictureButton* stopcmd = nullptr;
    PictureButton* startcmd = nullptr;
    BallTimer* Timmy = nullptr;
    SimArea* simarea = nullptr;
    QGroupBox* params = nullptr;
    QCheckBox* petljachk = nullptr;
    QCheckBox* tragchk = nullptr;
    QCheckBox* brzachk = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* teorijskachk = nullptr;
    ParamField* brzinatxt = nullptr;
    ParamField* kuglicetxt = nullptr;
    ParamField* stupcitxt = nullptr;
    QLabel* brzinalbl = nullptr;
    QLabel* kuglicelbl = nullptr;
    QLabel* stupcilbl = nullptr;
};

} // namespace kug
