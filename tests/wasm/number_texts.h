// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts for the number reader, made the same way on every platform: the
// edges of double, decimal numbers at, just below and just above the midpoint
// between two neighbouring doubles (where only a correctly rounded conversion
// gets every bit right), and short texts of number characters.

#include <cstdint>
#include <string>
#include <vector>

namespace kug::check {

// `ties` random doubles give three texts each; `shortTexts` more follow.
std::vector<std::string> numberTexts(int ties, int shortTexts);

} // namespace kug::check
