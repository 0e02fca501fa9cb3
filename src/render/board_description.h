// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the board's picture shows, in words, for a screen reader: one line per
// item, in the order the eye meets them. The text follows the drawing rules
// of plotKV, so that it says what was drawn, not what the state would draw
// next.

#include "state/board_state.h"
#include "state/run_settings.h"

#include <string>

namespace kug {

// The lines, joined by '\n':
//   the remaining-balls line when the drawing shows it ("Još 3 kuglice.");
//   "Stupci: a, b, c", the count of every bin from left to right, kept counts
//   of a finished run included;
//   the same for the theoretical bars when they are shown, headed by
//   `theoryCaption`, the caption of the switch that shows them.
// Call it right after plotKV with the same arguments.
std::string boardDescription(const BoardState& s, const RunSettings& settings,
                             const Switches& switches, const char* theoryCaption);

} // namespace kug
