// SPDX-License-Identifier: GPL-3.0-or-later
// A verbatim copy of the program's number reader as it was when the decimal
// conversion used std::from_chars (libstdc++ 12, correctly rounded; out of
// range it reports an error and the reader picks infinity or zero from the
// decimal magnitude). Do not change it: it is the reference, not the program.
#include "reference_number_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace kug::reference {

namespace {

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// A reader over the text that hides the characters skipped everywhere.
class Cursor {
public:
    explicit Cursor(std::string_view t) : text_(t) { skip(); }
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance() {
        ++pos_;
        skip();
    }

private:
    void skip() {
        while (pos_ < text_.size() && isSkipped(text_[pos_]))
            ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

int digitValue(char c, int radix) {
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    return d >= 0 && d < radix ? d : -1;
}

// "&H" / "&O" integers: their digits form a two's-complement pattern, 16-bit
// when it fits in four hex digits ("&HFFFF" is -1), 32-bit otherwise.
double radixValue(Cursor& c, int radix) {
    unsigned long long acc = 0;
    bool overflow = false;
    for (int d; (d = digitValue(c.peek(), radix)) >= 0; c.advance()) {
        acc = acc * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
        if (acc > 0xFFFFFFFFull)
            overflow = true;
    }
    if (overflow)
        return 0; // too many digits for any integer type: nothing sensible to read
    if (acc <= 0xFFFF)
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(acc)));
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(acc)));
}

// Reads sign, digits, point and exponent, then converts the compact form with
// from_chars, which ignores the C locale the toolkit may have switched on.
double decimalValue(Cursor& c) {
    bool negative = false;
    if (c.peek() == '+' || c.peek() == '-') {
        negative = c.peek() == '-';
        c.advance();
    }
    std::string s;
    bool point = false, digits = false;
    int intDigits = 0;    // significant digits before the point
    int leadingZeros = 0; // zeros right after the point while intDigits == 0
    for (;; c.advance()) {
        const char ch = c.peek();
        if (ch >= '0' && ch <= '9') {
            digits = true;
            if (!point && (intDigits > 0 || ch != '0'))
                ++intDigits;
            if (point && intDigits == 0 && s.find_first_not_of("0.") == std::string::npos &&
                ch == '0')
                ++leadingZeros;
            s += ch;
        } else if (ch == '.' && !point) {
            point = true;
            s += ch;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    long exponent = 0;
    if (c.peek() == 'e' || c.peek() == 'E') {
        c.advance();
        bool expNegative = false;
        if (c.peek() == '+' || c.peek() == '-') {
            expNegative = c.peek() == '-';
            c.advance();
        }
        for (; c.peek() >= '0' && c.peek() <= '9'; c.advance())
            exponent = std::min(exponent * 10 + (c.peek() - '0'), 1000000L);
        if (expNegative)
            exponent = -exponent;
        s += 'e' + std::to_string(exponent);
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        const long magnitude = intDigits > 0 ? intDigits + exponent : exponent - leadingZeros;
        value = magnitude > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

} // namespace

double numberValue(std::string_view text) {
    Cursor c(text);
    if (c.peek() == '&') {
        c.advance();
        const char k = c.peek();
        if (k == 'H' || k == 'h') {
            c.advance();
            return radixValue(c, 16);
        }
        if (k == 'O' || k == 'o') {
            c.advance();
            return radixValue(c, 8);
        }
        return 0;
    }
    return decimalValue(c);
}

} // namespace kug::reference
