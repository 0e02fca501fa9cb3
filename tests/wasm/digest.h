// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A 64-bit FNV-1a digest of values as their exact bytes (floats by their bit
// patterns, integers little-endian at a fixed width), so that two builds of
// the same computation print the same digest exactly when every value agrees.

#include <cstdint>
#include <cstring>
#include <string_view>

namespace kug::check {

// The bits of a float or double. (The browser build's library has no
// std::bit_cast.)
inline std::uint64_t bitsOf(double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

inline std::uint32_t bitsOf(float v) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

class Digest {
public:
    void add(std::uint64_t v, int bytes = 8) {
        for (int i = 0; i < bytes; ++i) {
            hash_ = (hash_ ^ ((v >> (8 * i)) & 0xFF)) * 0x100000001b3ull;
        }
    }
    void add(std::int64_t v) { add(static_cast<std::uint64_t>(v)); }
    void add(int v) { add(static_cast<std::uint64_t>(static_cast<std::int64_t>(v))); }
    void add(double v) { add(bitsOf(v)); }
    void add(float v) { add(bitsOf(v), 4); }
    void add(std::string_view s) {
        add(static_cast<std::uint64_t>(s.size()));
        for (unsigned char c : s)
            add(c, 1);
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

} // namespace kug::check
