// SPDX-License-Identifier: GPL-3.0-or-later
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

// Designed twips to pixels on a 96-dpi screen.
constexpr int px(int twips) {
    return twips / 15;
}

constexpr Box designedBox(int left, int top, int width, int height) {
    return Box{px(left), px(top), px(width), px(height)};
}

// The designed inner area of the window, and the frames' sizes.
constexpr Extent designedInner{396, 355};
constexpr Extent paramsDesignedSize{px(2175), px(3615)};
constexpr Extent gumbiDesignedSize{px(2175), px(735)};
// The frames' distance from the top and the right edge of the window.
constexpr int frameMargin = 5;
// Between the drawing area and the parameter frame.
constexpr int areaGap = 10;
// The loop's timer, once started, ticks every 100 ms.
constexpr int loopIntervalMs = 100;

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

// ---- Layout --------------------------------------------------------------

const std::vector<std::pair<Control, Box>>& Form::paramsDesign() {
    static const std::vector<std::pair<Control, Box>> design{
        {Control::petljachk, designedBox(360, 2520, 1335, 255)},
        {Control::tragchk, designedBox(120, 3000, 1815, 195)},
        {Control::brzachk, designedBox(120, 2280, 1815, 255)},
        {Control::Check1, designedBox(120, 3240, 735, 255)},
        {Control::teorijskachk, designedBox(120, 1200, 1815, 255)},
        {Control::brzinatxt, designedBox(1440, 1680, 615, 375)},
        {Control::kuglicetxt, designedBox(1440, 720, 615, 375)},
        {Control::stupcitxt, designedBox(1440, 240, 615, 375)},
        {Control::brzinalbl, designedBox(120, 1680, 1215, 375)},
        {Control::kuglicelbl, designedBox(120, 720, 1215, 375)},
        {Control::stupcilbl, designedBox(120, 240, 1215, 375)},
    };
    return design;
}

void Form::placeDesigned() {
    gumbi_ = designedBox(3720, 3600, 2175, 735);
    simarea_ = designedBox(0, 0, 3615, 3855);
    params_ = designedBox(3720, 0, 2175, 3615);
    view_.place(Control::gumbi, gumbi_);
    view_.place(Control::exitcmd, designedBox(1680, 120, 450, 450));
    view_.place(Control::fullstopcmd, designedBox(1020, 120, 450, 450));
    view_.place(Control::stopcmd, designedBox(570, 120, 450, 450));
    view_.place(Control::startcmd, designedBox(120, 120, 450, 450));
    view_.place(Control::simarea, simarea_);
    view_.place(Control::params, params_);
    for (const auto& [control, box] : paramsDesign())
        view_.place(control, box);
    // The ball's timer is on with interval 0, so that it never ticks until
    // start-up sets it; the loop's is off.
    clock_.setInterval(Timer::Timmy, 0);
    clock_.setEnabled(Timer::Timmy, true);
    clock_.setInterval(Timer::FastTimmy, loopIntervalMs);
}

void Form::fitFrames(const std::vector<Extent>& needs, int contentsTop) {
    const auto& design = paramsDesign();
    std::vector<FramedControl> controls;
    for (std::size_t i = 0; i < design.size(); ++i)
        controls.push_back(FramedControl{design[i].second, i < needs.size() ? needs[i] : Extent{}});
    const FrameFit fit = fitFrame(controls, paramsDesignedSize, contentsTop);
    for (std::size_t i = 0; i < design.size(); ++i)
        view_.place(design[i].first, fit.placed[i]);
    // The two frames stand one above the other at the right edge, as wide as
    // each other; the buttons keep their places in theirs.
    framesExtraWidth_ = fit.size.w - paramsDesignedSize.w;
    params_.w = fit.size.w;
    params_.h = fit.size.h;
    gumbi_ = Box{gumbi_.x, params_.bottom(), gumbiDesignedSize.w + framesExtraWidth_,
                 gumbiDesignedSize.h};
    view_.place(Control::params, params_);
    view_.place(Control::gumbi, gumbi_);
}

int Form::framesBottom() const {
    return frameMargin + params_.h + gumbi_.h + frameMargin;
}

Extent Form::startSize() const {
    return Extent{designedInner.w + framesExtraWidth_, std::max(designedInner.h, framesBottom())};
}

Extent Form::minimumInner() const {
    // The stored minimum is the outer size in twips, less the borders (60
    // twips each side, 345 on top).
    const Extent stored{(state_.minFormWidth - 2 * 60) / 15,
                        (state_.minFormHeight - 345 - 60) / 15};
    return Extent{stored.w + framesExtraWidth_, std::max(stored.h, framesBottom())};
}

void Form::placeHorizontally() {
    const Extent inner = view_.innerSize();
    params_.x = inner.w - params_.w - frameMargin;
    gumbi_.x = inner.w - gumbi_.w - frameMargin;
    simarea_.w = params_.x - areaGap;
    simarea_.h = inner.h;
    view_.place(Control::params, params_);
    view_.place(Control::gumbi, gumbi_);
    view_.place(Control::simarea, simarea_);
}

// ---- Start-up ------------------------------------------------------------

void Form::Form_Load() {
    loadDefaults(state_); // texts, bounds, arrays, colours, needsReset
    view_.setText(Control::stupcitxt, decimalText(state_.minColumns));
    view_.setText(Control::kuglicetxt, decimalText(state_.minBalls));
    view_.setText(Control::brzinatxt, decimalText(state_.minSpeed));
    settings_ = RunSettings{state_.minColumns, state_.minBalls, state_.minSpeed};
    clock_.setInterval(Timer::Timmy, timerIntervalFor(settings_.speed));
    clock_.setEnabled(Timer::Timmy, false);
    params_.y = frameMargin;
    gumbi_.y = params_.h + params_.y;
    simarea_.x = 0;
    simarea_.y = 0;
    placeHorizontally();
    view_.setTitle(state_.titleText);
    theoryfill();
    plotKV();
    state_.maxBalls = maxBallsFor(state_.cellSize);
    state_.barUnit = barUnitFor(state_.cellSize, settings_.balls);
}

// ---- Layout --------------------------------------------------------------

void Form::Form_Resize() {
    const TickClock::Event event(clock_);
    stopRun();
    if (view_.isMinimized())
        return;
    // The minimum itself is a constraint of the window where the toolkit
    // has one; this catches a window manager that ignored it.
    const Extent least = minimumInner();
    const Extent inner = view_.innerSize();
    if (inner.h < least.h || inner.w < least.w)
        view_.resizeInner(Extent{std::max(inner.w, least.w), std::max(inner.h, least.h)});
    placeHorizontally();
    plotKV();
}

void Form::stopRun() {
    clock_.setEnabled(Timer::Timmy, false);
    clock_.setEnabled(Timer::FastTimmy, false);
    setIdleControls();
    state_.needsReset = true;
}

void Form::setIdleControls() {
    setRunControls(true, false, false, true);
}

void Form::setRunControls(bool start, bool pause, bool abort, bool parameters) {
    setRunControl(Control::startcmd, start);
    setRunControl(Control::stopcmd, pause);
    setRunControl(Control::fullstopcmd, abort);
    setRunControl(Control::params, parameters);
}

void Form::setRunControl(Control control, bool enabled) {
    // A toolkit would hand the focus of a control it disables to the next
    // one in the chain, which may be exit or abort: one Space would then end
    // the program.
    if (!enabled && view_.holdsFocus(control))
        view_.setFocus(Control::simarea);
    view_.setEnabled(control, enabled);
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

void Form::stupcitxt_Click() {
    const TickClock::Event event(clock_);
    view_.selectAll(Control::stupcitxt);
}
void Form::kuglicetxt_Click() {
    const TickClock::Event event(clock_);
    view_.selectAll(Control::kuglicetxt);
}
void Form::brzinatxt_Click() {
    const TickClock::Event event(clock_);
    view_.selectAll(Control::brzinatxt);
}

void Form::stupcitxt_DblClick() {
    const TickClock::Event event(clock_);
    view_.setText(Control::stupcitxt, decimalText(state_.maxColumns));
}
void Form::kuglicetxt_DblClick() {
    const TickClock::Event event(clock_);
    view_.setText(Control::kuglicetxt, decimalText(state_.maxBalls));
}
void Form::brzinatxt_DblClick() {
    const TickClock::Event event(clock_);
    view_.setText(Control::brzinatxt, decimalText(state_.maxSpeed));
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
    view_.describeBoard(boardDescription(state_, settings_, switches()));
}

void Form::theoryfill() {
    kug::theoryfill(state_, settings_);
}

void Form::fastsim() {
    kug::fastsim(state_, *random_, settings_, view_.board().scaleWidth());
    if (!view_.isChecked(Control::petljachk)) {
        setIdleControls();
        state_.needsReset = true;
    }
    plotKV();
}

// ---- Runs -------------------------------------------------------------------

void Form::startcmd_Click() {
    const TickClock::Event event(clock_);
    setRunControls(false, true, true, false);
    if (state_.needsReset) {
        freshRunSetup(state_, view_.board(), settings_, switches());
        describeBoard();
    }
    if (view_.isChecked(Control::brzachk)) {
        if (view_.isChecked(Control::petljachk)) {
            clock_.setEnabled(Timer::FastTimmy, true);
            setRunControl(Control::stopcmd, false); // a loop can only be aborted
        } else {
            fastsim();
        }
    } else {
        clock_.setEnabled(Timer::Timmy, true);
    }
}

void Form::stopcmd_Click() {
    const TickClock::Event event(clock_);
    clock_.setEnabled(Timer::Timmy, false);
    setRunControl(Control::startcmd, true);
    setRunControl(Control::stopcmd, false);
}

void Form::fullstopcmd_Click() {
    const TickClock::Event event(clock_);
    stopRun();
    state_.binCounts.clearFirst(settings_.columns);
}

void Form::Timmy_Timer() {
    const TickOutcome outcome = ballTick(state_, view_.board(), *random_, settings_, switches());
    if (outcome == TickOutcome::Moved)
        return;
    describeBoard(); // the landing redrew the board
    if (outcome != TickOutcome::RunEnded)
        return;
    setIdleControls();
    state_.needsReset = true;
    clock_.setEnabled(Timer::Timmy, false);
}

void Form::FastTimmy_Timer() {
    fastsim();
}

} // namespace kug
