// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the number value of a text and the normalisation of
// the three parameter fields. Whatever is typed, a field must end up holding
// the decimal text of a whole number within its bounds, and normalising that
// text again must leave it as it is.

#include "state/parameter_rules.h"
#include "state/integers.h"
#include "state/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Columns, balls (with the largest ball limit a window gives at start-up)
// and speed.
constexpr kug::FieldBounds fields[] = {{2, 32}, {1, 250}, {1, 100}};

[[noreturn]] void fail(const char* what, std::string_view text, const std::string& detail) {
    std::fprintf(stderr, "%s\ninput: \"", what);
    for (unsigned char ch : text)
        std::fprintf(stderr, ch >= 0x20 && ch < 0x7f && ch != '"' ? "%c" : "\\x%02x", ch);
    std::fprintf(stderr, "\"\n%s\n", detail.c_str());
    std::abort();
}

bool sameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The blanks, tabs and line feeds that the number value skips everywhere.
std::string withoutBlanks(std::string_view text) {
    std::string s(text);
    std::erase_if(s, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
    return s;
}

// Whether strtod reads the text exactly as the number value must: a plain
// decimal number at the very start (no hexadecimal float, no "inf" or "nan",
// no blank that strtod would skip but the number value would stop at).
bool plainDecimalStart(const std::string& s) {
    std::size_t i = s.empty() || (s[0] != '+' && s[0] != '-') ? 0 : 1;
    if (i >= s.size() || !(std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.'))
        return false;
    return !(s[i] == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X'));
}

bool isDecimalText(const std::string& t) {
    const std::string_view digits = t[0] == '-' ? std::string_view(t).substr(1) : t;
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    return digits == "0" ? t == "0" : digits[0] != '0';
}

void checkNumberValue(std::string_view text) {
    const double v = kug::numberValue(text);
    if (std::isnan(v))
        fail("number value is NaN", text, "");
    const std::string compact = withoutBlanks(text);
    const double vc = kug::numberValue(compact);
    if (!sameValue(v, vc))
        fail("blanks change the number value", text,
             std::to_string(v) + " vs " + std::to_string(vc));
    if (!plainDecimalStart(compact))
        return;
    const double expected = std::strtod(compact.c_str(), nullptr);
    // Results in the subnormal range may be flushed to zero: no field cares.
    const bool tiny = expected != 0 && std::fabs(expected) < 2.2250738585072014e-308;
    if (tiny ? std::fabs(v) >= 2.2250738585072014e-308 : v != expected)
        fail("number value differs from a plain decimal reading", text,
             std::to_string(v) + " vs " + std::to_string(expected));
}

void checkField(std::string_view text, kug::FieldBounds b) {
    const std::string t = kug::normaliseFieldText(text, b);
    const std::string bounds = std::to_string(b.lower) + ".." + std::to_string(b.upper);
    if (t.empty() || !isDecimalText(t))
        fail("field text is not a decimal whole number", text, "got \"" + t + "\" for " + bounds);
    const double value = kug::numberValue(t);
    if (value < b.lower || value > b.upper)
        fail("field text out of bounds", text, "got " + t + " for " + bounds);
    if (kug::decimalText(static_cast<long long>(value)) != t)
        fail("field text does not read back as itself", text, t);
    const std::string again = kug::normaliseFieldText(t, b);
    if (again != t)
        fail("normalisation is not a fixed point", text, t + " became " + again);
    // A typed value inside the bounds is only rounded; outside it is clamped.
    const double v = kug::numberValue(text);
    if (v < b.lower && value != b.lower)
        fail("value below the bounds not raised to the lower bound", text, t + " " + bounds);
    if (v > b.upper && value != b.upper)
        fail("value above the bounds not lowered to the upper bound", text, t + " " + bounds);
    if (v >= b.lower && v <= b.upper && std::fabs(value - v) > 0.5)
        fail("value inside the bounds not taken to its nearest whole number", text, t);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkNumberValue(text);
    for (const kug::FieldBounds& b : fields)
        checkField(text, b);
    return 0;
}
