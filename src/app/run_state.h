// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four states of a run and which of the run's controls each enables. A
// state is applied to its controls in the order of `runControls`: start,
// pause, abort, then the parameter frame, so that the focus a disabled control
// hands on never lands on a control about to be disabled.

#include "app/controls.h"

#include <array>
#include <cstddef>

namespace kug {

enum class RunState { Idle, Running, Paused, Looping };

inline constexpr std::array runControls{Control::startcmd, Control::stopcmd, Control::fullstopcmd,
                                        Control::params};

// Whether the state enables each control of `runControls`, in that order.
// Idle: a run can start and the parameters can change. Running (animated):
// it can pause or abort. Paused: it can go on or abort. Looping (fast,
// repeated): it can only abort.
inline constexpr std::array<std::array<bool, runControls.size()>, 4> runStateEnables{{
    /* Idle    */ {true, false, false, true},
    /* Running */ {false, true, true, false},
    /* Paused  */ {true, false, true, false},
    /* Looping */ {false, false, true, false},
}};

constexpr bool enables(RunState state, std::size_t runControl) {
    return runStateEnables[static_cast<std::size_t>(state)][runControl];
}

} // namespace kug
