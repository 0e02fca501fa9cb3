// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/number_text.h"

#include <algorithm>
#include <cstdint>
#include <string>

// newlocale and strtod_l are POSIX and GNU extensions of the C library, with
// no <c...> form.
#include <locale.h>
#include <stdlib.h>

namespace kug {

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

// The C locale, made once. The toolkit switches the process locale to the
// user's, where the decimal point may be a comma, so the conversion below
// names its locale instead of following the process's.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

// Reads sign, digits, point and exponent, then converts the compact form with
// strtod_l in the C locale: correctly rounded, subnormals included, HUGE_VAL
// above the range of double and 0 below its least subnormal. (from_chars would
// do the same, but the browser build's standard library lacks it for double.)
double decimalValue(Cursor& c) {
    bool negative = false;
    if (c.peek() == '+' || c.peek() == '-') {
        negative = c.peek() == '-';
        c.advance();
    }
    std::string s;
    bool point = false, digits = false;
    for (;; c.advance()) {
        const char ch = c.peek();
        if (ch >= '0' && ch <= '9') {
            digits = true;
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
    if (c.peek() == 'e' || c.peek() == 'E') {
        c.advance();
        bool expNegative = false;
        if (c.peek() == '+' || c.peek() == '-') {
            expNegative = c.peek() == '-';
            c.advance();
        }
        // Held at a million: beyond the range of double either way for every
        // text of fewer than 999,000 digits, and no overflow however many
        // exponent digits are typed.
        long exponent = 0;
        for (; c.peek() >= '0' && c.peek() <= '9'; c.advance())
            exponent = std::min(exponent * 10 + (c.peek() - '0'), 1000000L);
        s += 'e' + std::to_string(expNegative ? -exponent : exponent);
    }
    // s holds only digits, at most one point and an exponent: nothing that
    // strtod_l would read differently from a plain decimal number.
    const double value = strtod_l(s.c_str(), nullptr, cLocale());
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

std::string decimalText(long long v) {
    return std::to_string(v);
}

} // namespace kug
