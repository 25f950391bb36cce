#pragma once
#include <cstdint>
#include <string>

// Shared by Font::makeNumber and Label: how a number label turns a value into digits.
namespace number_text {

// Labels only know bases 2 to 10 (one glyph per digit); anything else is pulled into that
// range rather than indexing past the digit glyphs.
inline int clampBase(int base) { return base < 2 ? 2 : (base > 10 ? 10 : base); }

// A label has no room for a sign, so a negative value shows its magnitude. Taken in 64 bits
// so that the most negative int has one too.
inline uint64_t magnitude(int value) {
    int64_t v = value;
    return static_cast<uint64_t>(v < 0 ? -v : v);
}

// Digits of value in base (1 for 0).
inline int digitCount(uint64_t value, int base) {
    int n = 1;
    while (value >= static_cast<uint64_t>(base)) {
        value /= base;
        ++n;
    }
    return n;
}

// value zero-padded to at least minDigits characters, most significant digit first.
inline std::string format(uint64_t value, int base, int minDigits) {
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + value % base));
        value /= base;
    } while (value > 0);
    if (minDigits > static_cast<int>(digits.size()))
        digits.insert(digits.begin(), minDigits - digits.size(), '0');
    return digits;
}

}  // namespace number_text
