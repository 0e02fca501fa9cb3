// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/random_source.h"

#include "state/integers.h"

#include <algorithm>

namespace kug {

namespace {

constexpr std::size_t shift = 397;
constexpr std::uint32_t matrixA = 0x9908b0dfu;
constexpr std::uint32_t upperBit = 0x80000000u;
constexpr std::uint32_t lowerBits = 0x7fffffffu;
constexpr double toUnit = 1.0 / 4294967296.0; // 2^-32: exact, and below 1

std::uint32_t mix(std::uint32_t upper, std::uint32_t lower, std::uint32_t far) {
    const std::uint32_t y = (upper & upperBit) | (lower & lowerBits);
    return far ^ (y >> 1) ^ ((y & 1u) ? matrixA : 0u);
}

} // namespace

Mt19937Source::Mt19937Source() {
    state_[0] = 5489u;
    for (std::size_t i = 1; i < stateSize; ++i) {
        const std::uint32_t prev = state_[i - 1];
        state_[i] = 1812433253u * (prev ^ (prev >> 30)) + static_cast<std::uint32_t>(i);
    }
}

void Mt19937Source::twist() {
    std::size_t i = 0;
    for (; i < stateSize - shift; ++i)
        state_[i] = mix(state_[i], state_[i + 1], state_[i + shift]);
    for (; i < stateSize - 1; ++i)
        state_[i] = mix(state_[i], state_[i + 1], state_[i + shift - stateSize]);
    state_[stateSize - 1] = mix(state_[stateSize - 1], state_[0], state_[shift - 1]);
    index_ = 0;
}

std::uint32_t Mt19937Source::nextBits() {
    if (index_ >= stateSize)
        twist();
    std::uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

double Mt19937Source::next() {
    return static_cast<double>(nextBits()) * toUnit;
}

void Mt19937Source::fill(double* out, std::size_t count) {
    while (count > 0) {
        if (index_ >= stateSize)
            twist();
        const std::size_t n = std::min(count, stateSize - index_);
        const std::uint32_t* words = state_.data() + index_;
        // A plain loop over the words that the compiler turns into vector code.
        for (std::size_t i = 0; i < n; ++i) {
            std::uint32_t y = words[i];
            y ^= y >> 11;
            y ^= (y << 7) & 0x9d2c5680u;
            y ^= (y << 15) & 0xefc60000u;
            y ^= y >> 18;
            // y as a signed number less 2^31, added back exactly: a signed
            // conversion is one vector instruction, an unsigned one is not.
            const auto shifted = static_cast<std::int32_t>(y ^ upperBit);
            out[i] = (static_cast<double>(shifted) + 2147483648.0) * toUnit;
        }
        index_ += n;
        out += n;
        count -= n;
    }
}

std::int16_t directionBeyondUnit(double r) {
    return static_cast<std::int16_t>(2 * toInteger(r) - 1);
}

} // namespace kug
