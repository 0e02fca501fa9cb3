// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The number value of a text as the program read it before the browser build:
// the same reader with std::from_chars for the decimal conversion. Kept here,
// and only here, as the reference that the differential fuzz target holds the
// program's reader to, bit for bit.

#include <string_view>

namespace kug::reference {

double numberValue(std::string_view text);

} // namespace kug::reference
