#include "sim/random_source.h"

#include "state/vb_numbers.h"

namespace kug {

double Mt19937Source::next() {
    // 32 random bits scaled by 2^-32: exact in a double and always below 1.
    return static_cast<double>(engine_()) * (1.0 / 4294967296.0);
}

std::int16_t directionFor(double r) { return static_cast<std::int16_t>(2 * toInteger(r) - 1); }

} // namespace kug
