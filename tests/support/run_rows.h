// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A run state's row as the tests read it, as text: from the form's table, or
// as a view and the clock show it.

#include "app/run_state.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kug::test {

inline const char* runStateName(std::optional<RunState> s) {
    constexpr const char* names[] = {"Idle", "Running", "Paused", "Looping"};
    return s ? names[static_cast<std::size_t>(*s)] : "none";
}

// The state, the run's controls enabled, the timers that run, needsReset.
inline QString rowText(RunState state, const std::function<bool(const RunControl&)>& enabled,
                       bool timmy, bool fastTimmy, bool needsReset) {
    QStringList on, timers;
    for (const RunControl& c : runControls)
        if (enabled(c))
            on << designOf(c.control).name;
    timers << (timmy ? "Timmy" : "") << (fastTimmy ? "FastTimmy" : "");
    timers.removeAll("");
    return QStringList{runStateName(state), on.join(' '), timers.isEmpty() ? "-" : timers.join(' '),
                       needsReset ? "needsReset" : "-"}
        .join(" | ");
}

inline QString rowText(const RunStateRow& r) {
    return rowText(
        r.state, [&r](const RunControl& c) { return r.*c.enabled; }, r.timer == Timer::Timmy,
        r.timer == Timer::FastTimmy, r.needsReset);
}

// The row of a state named in a test table ("Idle", "Running", ...).
inline QString rowNamed(const QString& name) {
    for (const RunStateRow& r : runStateRows)
        if (name == QLatin1String(runStateName(r.state)))
            return rowText(r);
    return QStringLiteral("no state ") + name;
}

} // namespace kug::test
