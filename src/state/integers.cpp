// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/integers.h"

#include <cmath>
#include <limits>

namespace kug {

double roundHalfEven(double v) {
    // The default floating-point environment rounds to nearest, ties to even;
    // nearbyint uses it without raising inexact.
    return std::nearbyint(v);
}

namespace {

template <typename T> T saturate(double v) {
    if (std::isnan(v))
        return 0;
    const double r = roundHalfEven(v);
    if (r <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

Integer clampToInteger(long v) {
    if (v < std::numeric_limits<Integer>::min())
        return std::numeric_limits<Integer>::min();
    if (v > std::numeric_limits<Integer>::max())
        return std::numeric_limits<Integer>::max();
    return static_cast<Integer>(v);
}

} // namespace

Integer toInteger(double v) {
    return saturate<Integer>(v);
}
Long toLong(double v) {
    return saturate<Long>(v);
}

Integer intMul(Integer a, Integer b) {
    return clampToInteger(long{a} * long{b});
}
Integer intAdd(Integer a, Integer b) {
    return clampToInteger(long{a} + long{b});
}

} // namespace kug
