// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A random source that plays back a fixed list of numbers, then repeats it.

#include "sim/random_source.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace kug::test {

class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<double> values) : values_(std::move(values)) {}
    double next() override {
        ++drawn;
        const double v = values_[pos_];
        pos_ = (pos_ + 1) % values_.size();
        return v;
    }
    std::size_t drawn = 0;

private:
    std::vector<double> values_;
    std::size_t pos_ = 0;
};

} // namespace kug::test
