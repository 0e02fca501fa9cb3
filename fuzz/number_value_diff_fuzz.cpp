// SPDX-License-Identifier: GPL-3.0-or-later
// Differential libFuzzer target: the program's number reader against the
// reference copy of the reader it replaced. Both must give the same double,
// bit for bit (signed zeros, subnormals and infinities included), for every
// text. The browser build has no std::from_chars for double, so the program's
// reader converts differently; this target is what shows it changed nothing.
//
// Besides the text itself, a stretched form is read: "c*N" stands for the
// character c followed by N more copies of it, so that short inputs reach the
// long digit strings (up to 4096 characters) where
// decimal conversions leave their fast paths. And from the first ten bytes a
// text is made that lies exactly halfway between two neighbouring doubles, or
// just below or just above that point: the inputs on which a conversion's
// rounding has to be exact, found here for every range of double (subnormals
// and the largest values included) without waiting for the fuzzer to type
// seven hundred right digits.

#include "reference_number_value.h"
#include "state/number_text.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace {

// Past every digit count where a conversion changes method (19, 769, about
// 1100), and small enough for the reference: it looks back over the whole
// text for every zero after the point, so "0.000..." costs it the square of
// the length.
constexpr std::size_t stretchedLimit = 1 << 12;

std::string stretched(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size() && out.size() < stretchedLimit) {
        const char ch = text[i++];
        if (ch != '*' || out.empty()) {
            out += ch;
            continue;
        }
        std::size_t copies = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            copies = std::min<std::size_t>(copies * 10 + static_cast<std::size_t>(text[i] - '0'),
                                           stretchedLimit);
        out.append(std::min(copies, stretchedLimit - out.size()), out.back());
    }
    return out;
}

// The midpoint of two neighbouring doubles needs 54 bits.
static_assert(std::numeric_limits<long double>::digits >= 54);

// Enough decimals to write every midpoint in full (at most 767 significant
// digits, for those just above the least normal number).
constexpr int exactDecimals = 780;

// The double of data[0..7] (its magnitude, if finite), the midpoint between
// it and the next double up, written with a decimal exponent: exactly (data[8]
// % 3 == 0), cut to 17 + data[9] % 760 significant digits (1, just below) or
// with a further digit 1 (2, just above). A minus if data[9] has its top bit.
std::string nearTie(const std::uint8_t* data) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    const double d = std::fabs(std::bit_cast<double>(bits));
    if (!std::isfinite(d))
        return {};
    const long double up = d == DBL_MAX ? 2.0L * d - std::nextafter(d, 0.0)
                                        : static_cast<long double>(std::nextafter(d, HUGE_VAL));
    const long double mid = (d + up) / 2;
    char buffer[exactDecimals + 16];
    std::snprintf(buffer, sizeof buffer, "%.*Le", exactDecimals, mid);
    const std::string written(buffer);
    const std::size_t e = written.find('e');
    std::string mantissa = written.substr(0, e);
    switch (data[8] % 3) {
    case 0:
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        break;
    case 1:
        mantissa.resize(std::min<std::size_t>(mantissa.size(), 18 + data[9] % 760));
        break;
    default:
        mantissa += '1';
    }
    return (data[9] & 0x80 ? "-" : "") + mantissa + written.substr(e);
}

void printText(std::string_view text) {
    std::fprintf(stderr, "input (%zu bytes): \"", text.size());
    const std::size_t shown = std::min<std::size_t>(text.size(), 400);
    for (unsigned char ch : text.substr(0, shown))
        std::fprintf(stderr, ch >= 0x20 && ch < 0x7f && ch != '"' ? "%c" : "\\x%02x", ch);
    std::fprintf(stderr, "%s\"\n", shown < text.size() ? "..." : "");
}

void compareReaders(std::string_view text) {
    const double program = kug::numberValue(text);
    const double reference = kug::reference::numberValue(text);
    if (std::bit_cast<std::uint64_t>(program) == std::bit_cast<std::uint64_t>(reference))
        return;
    std::fprintf(stderr, "number value differs from the reference reader\n");
    printText(text);
    std::fprintf(stderr, "program %a, reference %a\n", program, reference);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    compareReaders(text);
    if (text.find('*') != std::string_view::npos)
        compareReaders(stretched(text));
    if (size >= 10) {
        const std::string tie = nearTie(data);
        if (!tie.empty())
            compareReaders(tie);
    }
    return 0;
}
