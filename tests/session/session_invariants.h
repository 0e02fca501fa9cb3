// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules a window must keep after every event of a session, whatever the
// user did: the controls show one run state, the fields hold accepted
// numbers, the counts fit the run that produced them, and the board's unit
// length belongs to the drawing area as it stands.

#include "desktop/main_window.h"

#include <QString>

#include <optional>

class QCheckBox;
class QGroupBox;

namespace kug {
class ParamField;
class SimArea;
} // namespace kug

namespace kug::test {

// What the last event was, where it decides what must follow: a change of
// the window's size or state ends any run, an abort empties the bins.
enum class Event { Other, Resize, Abort };

class SessionInvariants {
public:
    explicit SessionInvariants(MainWindow& window);

    // The run state the controls show, or none if they match no row.
    std::optional<RunState> runState() const;
    // Empty when every rule holds after `last`, else what is wrong.
    QString check(Event last = Event::Other) const;
    // Called when a start has set up a fresh run: the counts from now on
    // belong to a run of this many balls.
    void freshRun(int balls) { runBalls_ = balls; }

private:
    QString checkRunState() const;
    QString checkSwitches() const;
    QString checkFields() const;
    QString checkCounts() const;
    QString checkDrawing() const;
    QString checkAfter(Event last) const;

    MainWindow& window_;
    QGroupBox* params_;
    ParamField* stupcitxt_;
    ParamField* kuglicetxt_;
    ParamField* brzinatxt_;
    QCheckBox* brzachk_;
    SimArea* simarea_;
    int maxBalls_;
    int runBalls_ = 0; // ball count of the run whose counts are kept
};

} // namespace kug::test
