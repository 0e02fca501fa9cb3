// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four states of a run, each whole in one row: which of the run's
// controls it enables, which timer runs, and whether the next start sets up
// a fresh run. `Form::enterRunState` applies a row, the controls in the order
// of `runControls`: start, pause, abort, then the parameter frame, so that
// the focus a disabled control hands on never lands on a control about to be
// disabled.

#include "app/controls.h"
#include "app/tick_clock.h"

#include <algorithm>
#include <array>
#include <optional>

namespace kug {

enum class RunState { Idle, Running, Paused, Looping };

struct RunStateRow {
    RunState state = RunState::Idle;
    // The run's controls, each by its name.
    bool startcmd = false;
    bool stopcmd = false;
    bool fullstopcmd = false;
    bool params = false;
    // The timer that runs; none for a run that waits or is over.
    std::optional<Timer> timer;
    // The next start sets up a fresh run.
    bool needsReset = false;
};

// Idle: a run can start and the parameters can change. Running (animated):
// it can pause or abort. Paused: it can go on or abort. Looping (fast,
// repeated): it can only abort. What a row leaves out is off. (GCC 12 warns
// of every member a designated initializer leaves to its default.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
inline constexpr std::array runStateRows{
    RunStateRow{.state = RunState::Idle, .startcmd = true, .params = true, .needsReset = true},
    RunStateRow{
        .state = RunState::Running, .stopcmd = true, .fullstopcmd = true, .timer = Timer::Timmy},
    RunStateRow{.state = RunState::Paused, .startcmd = true, .fullstopcmd = true},
    RunStateRow{.state = RunState::Looping, .fullstopcmd = true, .timer = Timer::FastTimmy},
};
#pragma GCC diagnostic pop

constexpr const RunStateRow& rowOf(RunState state) {
    return runStateRows[static_cast<std::size_t>(state)];
}

// A start shows Running's controls before it sets the run up, so that no
// parameter can change under the set-up; its timer comes only after it. A
// single fast run holds this row to its end, within the click, and starts
// no timer at all.
inline constexpr RunStateRow startingRow = [] {
    RunStateRow row = rowOf(RunState::Running);
    row.timer = std::nullopt;
    return row;
}();

// The run's controls in the order a state is applied to them.
struct RunControl {
    Control control;
    bool RunStateRow::*enabled;
};
inline constexpr RunControl runControls[] = {
    {Control::startcmd, &RunStateRow::startcmd},
    {Control::stopcmd, &RunStateRow::stopcmd},
    {Control::fullstopcmd, &RunStateRow::fullstopcmd},
    {Control::params, &RunStateRow::params},
};

// The rows stand in the order of RunState. The window opens idle: the table's
// initial states of the run's controls are the Idle row's.
static_assert(std::all_of(runStateRows.begin(), runStateRows.end(),
                          [](const RunStateRow& r) { return &rowOf(r.state) == &r; }));
static_assert(std::all_of(std::begin(runControls), std::end(runControls), [](const RunControl& c) {
    return designOf(c.control).enabled == rowOf(RunState::Idle).*c.enabled;
}));

} // namespace kug
