// SPDX-License-Identifier: GPL-3.0-or-later
// The form's handlers of the user's events and of the timers, and the run
// states they move between.

#include "app/form.h"

#include "render/board_description.h"
#include "render/plot_kv.h"
#include "render/theory_fill.h"
#include "sim/animated_ball.h"
#include "sim/fast_sim.h"
#include "sim/run_setup.h"
#include "state/number_text.h"

#include <algorithm>

namespace kug {

namespace {

// Which handler takes which event; none is the window's bare surface. Every
// other event, on the frames, the labels and the other check boxes, is
// left to the toolkit.
struct HandlerRow {
    std::optional<Control> control;
    UserEvent event;
    void (Form::*handler)();
};

constexpr HandlerRow handlers[] = {
    {std::nullopt, UserEvent::DblClick, &Form::Form_DblClick},
    {Control::simarea, UserEvent::DblClick, &Form::simarea_DblClick},
    {Control::exitcmd, UserEvent::Click, &Form::exitcmd_Click},
    {Control::startcmd, UserEvent::Click, &Form::startcmd_Click},
    {Control::stopcmd, UserEvent::Click, &Form::stopcmd_Click},
    {Control::fullstopcmd, UserEvent::Click, &Form::fullstopcmd_Click},
    {Control::stupcitxt, UserEvent::Click, &Form::stupcitxt_Click},
    {Control::stupcitxt, UserEvent::DblClick, &Form::stupcitxt_DblClick},
    {Control::stupcitxt, UserEvent::LostFocus, &Form::stupcitxt_LostFocus},
    {Control::kuglicetxt, UserEvent::Click, &Form::kuglicetxt_Click},
    {Control::kuglicetxt, UserEvent::DblClick, &Form::kuglicetxt_DblClick},
    {Control::kuglicetxt, UserEvent::LostFocus, &Form::kuglicetxt_LostFocus},
    {Control::brzinatxt, UserEvent::Click, &Form::brzinatxt_Click},
    {Control::brzinatxt, UserEvent::DblClick, &Form::brzinatxt_DblClick},
    {Control::brzinatxt, UserEvent::LostFocus, &Form::brzinatxt_LostFocus},
    {Control::brzachk, UserEvent::Click, &Form::brzachk_Click},
    {Control::teorijskachk, UserEvent::Click, &Form::teorijskachk_Click},
};

// The three fields, each with the bound a double-click fills in.
struct FieldRow {
    Control field;
    Integer BoardState::*upper;
};

constexpr FieldRow fields[] = {
    {Control::stupcitxt, &BoardState::maxColumns},
    {Control::kuglicetxt, &BoardState::maxBalls},
    {Control::brzinatxt, &BoardState::maxSpeed},
};

} // namespace

Form::Form(FormView& view, std::unique_ptr<RandomSource> random)
    : view_(view), clock_(view,
                          [this](Timer timer) {
                              if (timer == Timer::Timmy)
                                  Timmy_Timer();
                              else
                                  FastTimmy_Timer();
                          }),
      random_(random ? std::move(random) : std::make_unique<Mt19937Source>()) {}

bool Form::handle(std::optional<Control> control, UserEvent event) {
    const auto row =
        std::find_if(std::begin(handlers), std::end(handlers),
                     [&](const HandlerRow& r) { return r.control == control && r.event == event; });
    if (row == std::end(handlers))
        return false;
    (this->*row->handler)();
    return true;
}

// ---- Run states -------------------------------------------------------------

void Form::enterRunState(const RunStateRow& row) {
    runState_ = row.state;
    for (const RunControl& c : runControls) {
        const bool enabled = row.*c.enabled;
        // A toolkit would hand the focus of a control it disables to the
        // next one in the chain, which may be exit or abort: one Space would
        // then end the program.
        if (!enabled && view_.holdsFocus(c.control))
            view_.setFocus(Control::simarea);
        view_.setEnabled(c.control, enabled);
    }
    for (const Timer timer : {Timer::Timmy, Timer::FastTimmy})
        clock_.setEnabled(timer, row.timer == timer);
    state_.needsReset = row.needsReset;
}

// ---- About box and exit ----------------------------------------------------

void Form::Form_DblClick() {
    const TickClock::Event event(clock_);
    view_.showAbout(state_.titleText, state_.aboutText);
}

void Form::simarea_DblClick() {
    const TickClock::Event event(clock_);
    Form_DblClick();
}

void Form::exitcmd_Click() {
    const TickClock::Event event(clock_);
    view_.quit();
}

// ---- Parameter fields --------------------------------------------------------

Integer Form::accept(Control field, FieldBounds bounds) {
    const std::string text = normaliseFieldText(view_.text(field), bounds);
    view_.setText(field, text);
    return toInteger(numberValue(text));
}

void Form::fieldClick(Control field) {
    const TickClock::Event event(clock_);
    view_.selectAll(field);
}

void Form::fieldDblClick(Control field) {
    const TickClock::Event event(clock_);
    const auto row = std::find_if(std::begin(fields), std::end(fields),
                                  [&](const FieldRow& r) { return r.field == field; });
    view_.setText(field, decimalText(state_.*(row->upper)));
}

void Form::stupcitxt_Click() {
    fieldClick(Control::stupcitxt);
}
void Form::kuglicetxt_Click() {
    fieldClick(Control::kuglicetxt);
}
void Form::brzinatxt_Click() {
    fieldClick(Control::brzinatxt);
}
void Form::stupcitxt_DblClick() {
    fieldDblClick(Control::stupcitxt);
}
void Form::kuglicetxt_DblClick() {
    fieldDblClick(Control::kuglicetxt);
}
void Form::brzinatxt_DblClick() {
    fieldDblClick(Control::brzinatxt);
}

void Form::stupcitxt_LostFocus() {
    const TickClock::Event event(clock_);
    settings_.columns = accept(Control::stupcitxt, {state_.minColumns, state_.maxColumns});
    state_.binCounts.redim(settings_.columns);
    state_.theoryCounts.redim(settings_.columns);
    theoryfill();
    plotKV();
}

void Form::kuglicetxt_LostFocus() {
    const TickClock::Event event(clock_);
    const Integer balls = accept(Control::kuglicetxt, {state_.minBalls, state_.maxBalls});
    // Counts kept from a finished run belong to its ball count: at another
    // count's bar height they would be drawn at a false scale.
    if (balls != settings_.balls)
        state_.binCounts.clearFirst(state_.binCounts.upper());
    settings_.balls = balls;
    state_.barUnit = barUnitFor(state_.cellSize, settings_.balls);
    theoryfill();
    plotKV();
}

void Form::brzinatxt_LostFocus() {
    const TickClock::Event event(clock_);
    settings_.speed = accept(Control::brzinatxt, {state_.minSpeed, state_.maxSpeed});
    clock_.setInterval(Timer::Timmy, timerIntervalFor(settings_.speed));
}

// ---- Mode switches ---------------------------------------------------------

void Form::brzachk_Click() {
    const TickClock::Event event(clock_);
    const bool fast = view_.isChecked(Control::brzachk);
    view_.setEnabled(Control::tragchk, !fast);
    view_.setEnabled(Control::brzinalbl, !fast);
    view_.setEnabled(Control::brzinatxt, !fast);
    view_.setEnabled(Control::petljachk, fast);
}

void Form::teorijskachk_Click() {
    const TickClock::Event event(clock_);
    plotKV();
}

// ---- Board procedures ------------------------------------------------------

Switches Form::switches() const {
    return Switches{view_.isChecked(Control::brzachk), view_.isChecked(Control::petljachk),
                    view_.isChecked(Control::tragchk), view_.isChecked(Control::teorijskachk)};
}

void Form::plotKV() {
    kug::plotKV(state_, view_.board(), settings_, switches());
    describeBoard();
}

void Form::describeBoard() {
    view_.describeBoard(
        boardDescription(state_, settings_, switches(), designOf(Control::teorijskachk).caption));
}

void Form::theoryfill() {
    kug::theoryfill(state_, settings_);
}

void Form::fastsim() {
    kug::fastsim(state_, *random_, settings_, view_.board().scaleWidth());
    if (!view_.isChecked(Control::petljachk))
        enterRunState(RunState::Idle);
    plotKV();
}

// ---- Runs -------------------------------------------------------------------

void Form::startcmd_Click() {
    const TickClock::Event event(clock_);
    const bool fresh = state_.needsReset; // before the start's row clears it
    enterRunState(startingRow);
    if (fresh) {
        freshRunSetup(state_, view_.board(), settings_, switches());
        describeBoard();
    }
    if (!view_.isChecked(Control::brzachk))
        enterRunState(RunState::Running);
    else if (view_.isChecked(Control::petljachk))
        enterRunState(RunState::Looping);
    else
        fastsim(); // which ends in Idle
}

void Form::stopcmd_Click() {
    const TickClock::Event event(clock_);
    // The ticks due by the click may have landed the last ball: that run is
    // over, and stays so.
    if (runState_ == RunState::Running)
        enterRunState(RunState::Paused);
}

void Form::fullstopcmd_Click() {
    const TickClock::Event event(clock_);
    enterRunState(RunState::Idle);
    state_.binCounts.clearFirst(settings_.columns);
}

void Form::Timmy_Timer() {
    const TickOutcome outcome = ballTick(state_, view_.board(), *random_, settings_, switches());
    if (outcome == TickOutcome::Moved)
        return;
    describeBoard(); // the landing redrew the board
    if (outcome == TickOutcome::RunEnded)
        enterRunState(RunState::Idle);
}

void Form::FastTimmy_Timer() {
    fastsim();
}

} // namespace kug
