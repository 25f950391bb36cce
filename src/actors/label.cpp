#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "actors/actor.h"
#include "actors/font.h"
#include "actors/number_text.h"
#include "engine/animation.h"
#include "engine/sprite_frame.h"

namespace {
int toInt(uint64_t v) { return v > INT32_MAX ? INT32_MAX : static_cast<int>(v); }
}  // namespace

Label::Label(const char* text, Font* font, int spacing)
    : spacing_(spacing), actor_(font->makeText(text, spacing)), font_(static_cast<uint8_t>(font->id())) {}

Label::Label(int value, Font* font, int spacing, int base, int minDigits)
    : spacing_(spacing),
      base_(number_text::clampBase(base)),
      actor_(nullptr),
      font_(static_cast<uint8_t>(font->id())) {
    const uint64_t shown = number_text::magnitude(value);
    const int natural = number_text::digitCount(shown, base_);
    digits_ = natural > minDigits ? natural : minDigits;
    value_ = toInt(shown);
    actor_ = font->makeNumber(value, spacing, base_, digits_);
}

void* Label::operator new(size_t) {
    if (void* slot = theLabelPool.allocate()) return slot;
    std::fprintf(stderr, "parapet: internal error: more than %d labels at once\n", labelSlots);
    std::abort();
}

void Label::operator delete(void* object) { theLabelPool.release(object); }

void destroyLabel(Label* label) {
    if (label == nullptr) return;
    destroyText(label->actor());
    delete label;
}

void Label::setNumber(int value) {
    // A label never grows: a number too long for it shows its last digits. A modulus too
    // big for 64 bits is bigger than any int, so then nothing needs cutting off.
    uint64_t v = number_text::magnitude(value);
    uint64_t modulus = 1;
    int places = 0;
    while (places < digits_ && modulus <= UINT32_MAX) {
        modulus *= base_;
        ++places;
    }
    if (places == digits_) v %= modulus;
    value_ = toInt(v);

    // Leading places beyond the value's own digits show 0.
    const int significant = number_text::digitCount(v, base_);
    uint64_t divisor = 1;
    for (int k = 1; k < significant; ++k) divisor *= base_;
    const Font* font = fontById(font_);
    Actor* character = actor_;
    for (int i = 0; i < digits_ && character != nullptr; ++i) {
        int digit = 0;
        if (i >= digits_ - significant) {
            digit = static_cast<int>(v / divisor % base_);
            divisor /= base_;
        }
        character->setGlyphCell(font->firstDigitCell() + digit);
        character = character->childCount() > 0 ? character->firstChild() : nullptr;
    }
}
