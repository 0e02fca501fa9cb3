// SPDX-License-Identifier: GPL-3.0-or-later
// The form's layout: the designed places, the frames fitted to the view's
// font, start-up in its order, the least size and the pieces that follow the
// window's size.

#include "app/form.h"
#include "state/number_text.h"

#include <algorithm>

namespace kug {

namespace {

// The frames' distance from the top and the right edge of the window.
constexpr int frameMargin = 5;
// Between the drawing area and the parameter frame.
constexpr int areaGap = 10;

} // namespace

void Form::start() {
    showDesigned();
    fitFrames();
    // The window grows by what the frames grew, so that the drawing area
    // keeps its designed size, and grows taller if the frames need it.
    view_.resizeInner(startSize());
    Form_Load();
    view_.setMinimumInner(minimumInner());
}

void Form::fontChanged() {
    fitFrames();
    view_.setMinimumInner(minimumInner());
    Form_Resize();
}

void Form::showDesigned() {
    // Whatever the view kept from an earlier start goes: a browser keeps its
    // form controls' states across a reload.
    for (std::size_t i = 0; i < controlCount; ++i) {
        const ControlDesign& d = controlTable[i];
        view_.place(controlAt(i), pixels(d.designed));
        view_.setEnabled(controlAt(i), d.enabled);
        if (d.kind == ControlKind::CheckBox)
            view_.setChecked(controlAt(i), d.checked);
        if (d.kind == ControlKind::TextBox)
            view_.setText(controlAt(i), d.caption);
    }
    gumbi_ = pixels(designOf(Control::gumbi).designed);
    simarea_ = pixels(designOf(Control::simarea).designed);
    params_ = pixels(designOf(Control::params).designed);
    for (const TimerDesign& t : designedTimers) {
        clock_.setInterval(t.timer, t.intervalMs);
        clock_.setEnabled(t.timer, t.enabled);
    }
}

void Form::fitFrames() {
    const std::vector<Control> held = controlsIn(Control::params);
    std::vector<FramedControl> controls;
    for (Control c : held)
        controls.push_back(FramedControl{pixels(designOf(c).designed), view_.captionNeed(c)});
    const Box paramsBox = pixels(designOf(Control::params).designed);
    const Extent paramsDesigned{paramsBox.w, paramsBox.h};
    const FrameFit fit = fitFrame(controls, paramsDesigned, view_.contentsTop(Control::params));
    for (std::size_t i = 0; i < held.size(); ++i)
        view_.place(held[i], fit.placed[i]);
    // The two frames stand one above the other at the right edge, as wide as
    // each other; the buttons keep their places in theirs.
    framesExtraWidth_ = fit.size.w - paramsDesigned.w;
    params_.w = fit.size.w;
    params_.h = fit.size.h;
    placeButtonFrame();
    view_.place(Control::params, params_);
    view_.place(Control::gumbi, gumbi_);
}

void Form::placeButtonFrame() {
    const Box designed = pixels(designOf(Control::gumbi).designed);
    gumbi_ = Box{gumbi_.x, params_.bottom(), designed.w + framesExtraWidth_, designed.h};
}

int Form::framesBottom() const {
    return frameMargin + params_.h + gumbi_.h + frameMargin;
}

Extent Form::startSize() const {
    const Extent designed{pixels(designedInnerTwips.w), pixels(designedInnerTwips.h)};
    return Extent{designed.w + framesExtraWidth_, std::max(designed.h, framesBottom())};
}

Extent Form::minimumInner() const {
    // The stored minimum is the outer size in twips, borders included.
    const Extent stored{pixels(state_.minFormWidth - 2 * sideBorderTwips),
                        pixels(state_.minFormHeight - topBorderTwips - sideBorderTwips)};
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

void Form::Form_Load() {
    loadDefaults(state_); // texts, bounds, arrays, colours, needsReset
    view_.setText(Control::stupcitxt, decimalText(state_.minColumns));
    view_.setText(Control::kuglicetxt, decimalText(state_.minBalls));
    view_.setText(Control::brzinatxt, decimalText(state_.minSpeed));
    settings_ = RunSettings{state_.minColumns, state_.minBalls, state_.minSpeed};
    clock_.setInterval(Timer::Timmy, timerIntervalFor(settings_.speed));
    enterRunState(RunState::Idle);
    params_.y = frameMargin;
    placeButtonFrame();
    simarea_.x = 0;
    simarea_.y = 0;
    placeHorizontally();
    view_.setTitle(state_.titleText);
    theoryfill();
    plotKV();
    state_.maxBalls = maxBallsFor(state_.cellSize);
    state_.barUnit = barUnitFor(state_.cellSize, settings_.balls);
}

void Form::Form_Resize() {
    const TickClock::Event event(clock_);
    enterRunState(RunState::Idle);
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

} // namespace kug
