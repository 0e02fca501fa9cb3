// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/board_description.h"

#include "render/plot_kv.h"
#include "state/number_text.h"

namespace kug {

namespace {

// "Caption: a, b, c" for bins 1..columns; a bin outside the array counts 0,
// as plotKV draws no bar for it.
std::string countsLine(const char* caption, const IntArray& counts, int columns) {
    std::string line = caption;
    for (int k = 1; k <= columns; ++k) {
        line += k == 1 ? ": " : ", ";
        line += decimalText(counts.contains(k) ? counts(k) : 0);
    }
    return line;
}

} // namespace

std::string boardDescription(const BoardState& s, const RunSettings& settings,
                             const Switches& switches, const char* theoryCaption) {
    std::string text = shownRemainingBallsLine(s, switches);
    if (!text.empty())
        text += '\n';
    text += countsLine("Stupci", s.binCounts, settings.columns);
    if (switches.theory) {
        text += '\n';
        text += countsLine(theoryCaption, s.theoryCounts, settings.columns);
    }
    return text;
}

} // namespace kug
