// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a number from a text and writing an integer as text, as the
// parameter fields do.

#include <string>
#include <string_view>

namespace kug {

// The number value of a text: blanks, tabs and line feeds are skipped anywhere,
// then sign, digits, one decimal point and an exponent are read up to the first
// character that does not fit. "&H" and "&O" start hexadecimal and octal
// integers. A text without a number at its start reads as 0.
double numberValue(std::string_view text);

// Plain decimal digits with a leading minus for negatives ("32", "-7").
std::string decimalText(long long v);

} // namespace kug
