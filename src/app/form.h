// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's handlers, toolkit-free: what start-up, a resize, the clicks,
// the fields' validation and the timers' ticks do to the controls, the timers
// and the board state. A view (form_view.h) shows the controls; the desktop's
// window and the web page are two such views over this one form. The timers
// run on the form's clock, which the view wakes; each handler of a user's
// event first runs the ticks due by its moment (TickClock::Event).

#include "app/form_view.h"
#include "app/run_state.h"
#include "sim/random_source.h"
#include "state/board_state.h"
#include "state/parameter_rules.h"
#include "state/run_settings.h"

#include <memory>
#include <optional>

namespace kug {

class Form {
public:
    Form(FormView& view, std::unique_ptr<RandomSource> random);

    const BoardState& state() const { return state_; }
    BoardState& state() { return state_; }
    const RunSettings& settings() const { return settings_; }
    TickClock& clock() { return clock_; }
    const TickClock& clock() const { return clock_; }

    // Start-up, as the window is created: the controls at their designed
    // places, the frames fitted to what their captions need in the view's
    // font, the window at its start size, Form_Load, then the least size.
    void start();
    // The view's font changed: the frames are fitted to it again and the
    // board, refitted to the room left, starts over as after a resize.
    void fontChanged();
    // The window's inner size at start-up: the designed one, grown by what
    // the frames grew.
    Extent startSize() const;
    // The smallest inner size: the stored minimum, widened by the frames'
    // extra width and tall enough to show the whole button frame.
    Extent minimumInner() const;

    // A user's event on a control, or with no control on the window's bare
    // surface, handed to its handler. Returns whether the form handles it.
    bool handle(std::optional<Control> control, UserEvent event);
    RunState runState() const { return runState_; }

    // Handlers, named after their control and event. The two timers' ticks
    // are not user events: they run no other ticks first.
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

private:
    // Every control and timer as designed: its place, enabled state, tick and
    // text. Then the layout: the parameter frame fitted to the view's font and
    // the button frame below it, the pieces that follow the window's size.
    void showDesigned();
    void fitFrames();
    void placeButtonFrame();
    void placeHorizontally();
    // Where the button frame ends, with the margin below it.
    int framesBottom() const;

    // Enters a run state, all of its row: the run's controls (the only place
    // where they change; the focus never passes from a disabled one to
    // another button), then its timer, then whether the next start sets up a
    // fresh run.
    void enterRunState(const RunStateRow& row);
    void enterRunState(RunState state) { enterRunState(rowOf(state)); }
    void fieldClick(Control field);
    void fieldDblClick(Control field);
    // Validation shared by the three fields: the text corrected into its
    // bounds, and its value.
    Integer accept(Control field, FieldBounds bounds);
    Switches switches() const;
    // Tells assistive technology what the board's last drawing shows.
    void describeBoard();

    FormView& view_;
    TickClock clock_;
    BoardState state_;
    std::unique_ptr<RandomSource> random_;
    RunSettings settings_;
    RunState runState_ = RunState::Idle;
    // The three pieces the layout moves.
    Box params_;
    Box gumbi_;
    Box simarea_;
    int framesExtraWidth_ = 0;
};

} // namespace kug
