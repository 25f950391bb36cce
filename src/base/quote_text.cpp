#include "base/quote_text.h"

#include <cstdio>

namespace {

// Length of the well-formed UTF-8 sequence starting at text[i] that prints as a character,
// 0 when the bytes there must be escaped. C1 controls (U+0080-U+009F) are refused: some
// terminals act on them.
size_t printableSequence(std::string_view text, size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) return 1;
    size_t length = c >= 0xC2 && c <= 0xDF   ? 2
                    : c >= 0xE0 && c <= 0xEF ? 3
                    : c >= 0xF0 && c <= 0xF4 ? 4
                                             : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    unsigned char next = static_cast<unsigned char>(text[i + 1]);
    if (c == 0xC2 && next < 0xA0) return 0;   // C1 control
    if (c == 0xE0 && next < 0xA0) return 0;   // overlong
    if (c == 0xED && next >= 0xA0) return 0;  // surrogate
    if (c == 0xF0 && next < 0x90) return 0;   // overlong
    if (c == 0xF4 && next >= 0x90) return 0;  // beyond U+10FFFF
    return length;
}

}  // namespace

std::string quoteText(std::string_view text, size_t limit) {
    std::string out;
    size_t i = 0;
    while (i < text.size() && i < limit) {
        size_t length = printableSequence(text, i);
        if (length > 0 && i + length <= limit) {
            out.append(text.substr(i, length));
            i += length;
        } else if (length > 0) {
            break;  // a character straddling the limit is cut whole
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(text[i]));
            out += escaped;
            ++i;
        }
    }
    if (i < text.size()) out += "...";
    return out;
}
