// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/board_geometry.h"

#include <algorithm>
#include <cmath>

namespace kug {

BoardGeometry BoardGeometry::fitted(int areaWidth, int areaHeight, int columns) {
    const int n = columns;
    Integer c = toInteger((areaWidth - 20) / (2.0 * n));
    const auto needed = static_cast<Single>((2.0 * (n - 2) + 16) * c + 10);
    if (needed > static_cast<Single>(areaHeight))
        c = toInteger((areaHeight - 10) / (2.0 * (n - 2) + 16));
    return BoardGeometry(areaWidth, columns, c);
}

int BoardGeometry::binAt(double x) const {
    const double bin = std::floor((x - binsLeft()) / binWidth(cell_)) + 1;
    if (std::isnan(bin))
        return 1;
    return static_cast<int>(std::clamp(bin, 1.0, static_cast<double>(std::max(columns_, 1))));
}

} // namespace kug
