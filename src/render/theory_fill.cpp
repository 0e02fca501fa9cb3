// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/theory_fill.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kug {

void theoryfill(BoardState& s, const RunSettings& settings) {
    const int n = std::clamp(settings.columns, 0, std::min(s.theoryCounts.upper(), 32));
    const double balls = settings.balls;
    if (n < 1)
        return;
    // Pascal's triangle row by row; row j holds C(j - 1, k - 1).
    std::vector<std::int32_t> current(static_cast<std::size_t>(n) + 1, 0);
    std::vector<std::int32_t> next(current.size(), 0);
    for (int j = 1; j <= n; ++j) {
        next[1] = 1;
        for (int k = 2; k <= j - 1; ++k)
            next[k] = current[k - 1] + current[k];
        if (j > 1)
            next[j] = 1;
        for (int m = 1; m <= n; ++m) {
            current[m] = next[m];
            next[m] = 0;
        }
    }
    // 2^(n - 1) reaches 2^31 for 32 columns: held exactly in 64 bits.
    std::int64_t total = 0;
    for (int k = 1; k <= n; ++k)
        total += current[k];
    for (int k = 1; k <= n; ++k) {
        const double q = current[k] / static_cast<double>(total);
        s.theoryCounts(k) = toInteger(q * balls);
    }
}

} // namespace kug
