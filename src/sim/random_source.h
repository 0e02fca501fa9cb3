#pragma once
// The uniform random numbers behind every deflection, shared by the animated
// ball and the fast simulation.

#include <cstdint>
#include <random>

namespace kug {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Next number, uniform in [0, 1).
    virtual double next() = 0;
};

// Never seeded: the same sequence after every program start, on every
// compiler, because both the engine and the mapping to [0, 1) are exact.
class Mt19937Source final : public RandomSource {
public:
    double next() override;

private:
    std::mt19937 engine_; // default seed 5489
};

// Left (-1) for r <= 0.5, right (+1) for r > 0.5: 2 * round-half-even(r) - 1.
std::int16_t directionFor(double r);

} // namespace kug
