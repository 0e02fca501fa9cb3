// SPDX-License-Identifier: GPL-3.0-or-later
#include "number_texts.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace kug::check {

namespace {

// SplitMix64: a fixed sequence of 64-bit words from integer arithmetic alone.
class Words {
public:
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_ = 15;
};

// Every finite double is an exact decimal with at most 309 integer digits and
// 1074 decimals.
constexpr int intDigits = 310;
constexpr int decimals = 1075;

// The exact decimal digits of a non-negative double, the point after
// intDigits of them.
std::string fixedDigits(double v) {
    static char buffer[intDigits + decimals + 8];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    const std::string_view written(buffer);
    const std::size_t point = written.find('.');
    return std::string(intDigits - point, '0') + std::string(written.substr(0, point)) +
           std::string(written.substr(point + 1));
}

// (a + b) / 2 of two digit strings of the same length; one more digit (a 5
// or a 0) keeps it exact.
std::string midpoint(const std::string& a, const std::string& b) {
    std::string sum(a.size() + 1, '0');
    int carry = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        const int d = (a[i] - '0') + (b[i] - '0') + carry;
        sum[i + 1] = static_cast<char>('0' + d % 10);
        carry = d / 10;
    }
    sum[0] = static_cast<char>('0' + carry);
    std::string half(sum.size() + 1, '0');
    int rest = 0;
    for (std::size_t i = 0; i < sum.size(); ++i) {
        const int d = rest * 10 + (sum[i] - '0');
        half[i] = static_cast<char>('0' + d / 2);
        rest = d % 2;
    }
    half.back() = rest ? '5' : '0';
    return half; // now intDigits + 1 digits before the point
}

// Significant digits and the decimal exponent of their first one.
struct Decimal {
    std::string digits;
    long exponent = 0;
};

Decimal significant(const std::string& digits, long pointAfter) {
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return {"0", 0};
    const std::size_t last = digits.find_last_not_of('0');
    return {digits.substr(first, last - first + 1), pointAfter - 1 - static_cast<long>(first)};
}

std::string scientific(const Decimal& d) {
    std::string s(1, d.digits[0]);
    if (d.digits.size() > 1)
        s += '.' + d.digits.substr(1);
    return s + 'e' + std::to_string(d.exponent);
}

std::string fixed(const Decimal& d) {
    if (d.exponent < 0)
        return "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    const std::size_t whole = static_cast<std::size_t>(d.exponent) + 1;
    if (d.digits.size() <= whole)
        return d.digits + std::string(whole - d.digits.size(), '0');
    return d.digits.substr(0, whole) + '.' + d.digits.substr(whole);
}

// A double from random bits, its exponent often at the edges of the range.
double randomDouble(Words& w) {
    std::uint64_t bits = w.next() & ~(1ull << 63);
    static constexpr std::uint64_t edges[] = {0, 1, 2, 52, 1023, 1075, 2045, 2046};
    if (w.below(4) == 0)
        bits = (bits & ((1ull << 52) - 1)) | (edges[w.below(8)] << 52);
    if ((bits >> 52) == 2047)
        bits &= ~(1ull << 52);
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// The midpoint between v and the next double up: exactly, cut short (at or
// below it), and with a further 1 after some zeros (just above it); in
// scientific or fixed form, with or without a minus.
void addTies(Words& w, double v, std::vector<std::string>& out) {
    if (v == DBL_MAX) // the midpoint above it is among the edges
        v = std::nextafter(v, 0.0);
    const Decimal mid = significant(
        midpoint(fixedDigits(v), fixedDigits(std::nextafter(v, HUGE_VAL))), intDigits + 1);
    Decimal below = mid;
    below.digits.resize(1 + static_cast<std::size_t>(w.below(static_cast<int>(mid.digits.size()))));
    Decimal above = mid;
    above.digits += std::string(static_cast<std::size_t>(w.below(40)), '0') + '1';
    for (const Decimal& d : {mid, below, above}) {
        const std::string text = w.below(2) ? scientific(d) : fixed(d);
        out.push_back(w.below(4) ? text : '-' + text);
    }
}

// Texts of up to 24 characters from those a number is made of, and a few
// that end one.
std::string shortText(Words& w) {
    static constexpr std::string_view alphabet = "0123456789012345678900000.eE+- \t\n&HhOoxf,";
    std::string s(static_cast<std::size_t>(w.below(25)), ' ');
    for (char& c : s)
        c = alphabet[static_cast<std::size_t>(w.below(static_cast<int>(alphabet.size())))];
    return s;
}

// The least and largest subnormal and normal numbers, the ties around them,
// and the point beyond which numbers round to infinity.
const std::vector<std::string> edges = {
    "4.9406564584124654e-324",
    "2.4703282292062327e-324",
    "2.4703282292062328e-324",
    "2.2250738585072009e-308",
    "2.2250738585072014e-308",
    "2.2250738585072011e-308",
    "1.7976931348623157e308",
    "1.7976931348623158e308",
    "1.7976931348623159e308",
    "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017977"
    "587207096330286416692887910946555547851940402630657488671505820681908902000708383676273854845"
    "817711531764475730270069855571366959622842914819860834936475292719074168444365510704342711559"
    "699508093042880177904174497792",
    "1e400",
    "-1e-400",
    "0e99999999",
    "1e99999999999999999999",
    "9007199254740993",
    "0x10",
    "-0",
    "&HFFFF",
    "&O777",
    "1 2.5e 1"};

} // namespace

std::vector<std::string> numberTexts(int ties, int shortTexts) {
    Words w;
    std::vector<std::string> out = edges;
    for (int i = 0; i < ties; ++i)
        addTies(w, randomDouble(w), out);
    for (int i = 0; i < shortTexts; ++i)
        out.push_back(shortText(w));
    return out;
}

} // namespace kug::check
