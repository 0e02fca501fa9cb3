// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The uniform random numbers behind every deflection, shared by the animated
// ball and the fast simulation.

#include <array>
#include <cstddef>
#include <cstdint>

namespace kug {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Next number, uniform in [0, 1).
    virtual double next() = 0;
    // The next `count` numbers, exactly as `count` calls of next() give them;
    // a source may hand them out faster in a batch.
    virtual void fill(double* out, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = next();
    }
};

// Never seeded: the same sequence after every program start, on every
// compiler, because both the engine and the mapping to [0, 1) are exact. The
// engine is the standard MT19937 with its default seed 5489 (the numbers of
// std::mt19937), kept in 32-bit words so that a fast run's draws stay cheap.
class Mt19937Source final : public RandomSource {
public:
    Mt19937Source();
    double next() override;
    void fill(double* out, std::size_t count) override;

private:
    static constexpr std::size_t stateSize = 624;
    std::uint32_t nextBits();
    void twist();

    std::array<std::uint32_t, stateSize> state_{};
    std::size_t index_ = stateSize;
};

std::int16_t directionBeyondUnit(double r);

// Left (-1) for r <= 0.5, right (+1) for r > 0.5: 2 * round-half-even(r) - 1.
// Inline for the fast run, which takes one per step.
inline std::int16_t directionFor(double r) {
    // round-half-even(r) is 0 or 1 throughout [-0.5, 1.5), and 0 at 0.5 itself.
    if (r >= -0.5 && r < 1.5)
        return r > 0.5 ? 1 : -1;
    return directionBeyondUnit(r);
}

} // namespace kug
