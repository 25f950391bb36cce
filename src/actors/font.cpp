#include "actors/font.h"

#include <cstring>

#include "actors/actor.h"
#include "actors/number_text.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"

Font::Font(const char* fileName, Engine* engine, int sheetWidth, int sheetHeight,
           int fileBitsPerPixel, int cellWidth, int cellHeight, int firstLetterCell,
           int firstDigitCell)
    : firstLetterCell_(firstLetterCell),
      firstDigitCell_(firstDigitCell),
      engine_(engine),
      sheet_(engine->addSheet(fileName, sheetWidth, sheetHeight, fileBitsPerPixel, cellWidth,
                              cellHeight, true)),
      cellWidth_(cellWidth),
      cellHeight_(cellHeight) {}

Font::~Font() = default;

int Font::cellFor(char ch) const {
    // Looked at as a byte: where char is signed, bytes above 127 would otherwise come out
    // negative and slip past the range tests below.
    const int c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') return firstLetterCell_ + (c - 'A');
    if (c >= 'a' && c <= 'z') return firstLetterCell_ + 26 + (c - 'a');
    if (c >= '0' && c <= '9') return firstDigitCell_ + (c - '0');
    if (c >= 33 && c <= 47) return firstDigitCell_ + 10 + (c - 33);
    if (c >= 58 && c <= 64) return firstDigitCell_ + 25 + (c - 58);
    return -1;
}

Actor* Font::makeText(const char* text, int spacing) const {
    if (text == nullptr || *text == '\0') return nullptr;
    Actor* root = nullptr;
    Actor* previous = nullptr;
    for (const char* p = text; *p != '\0'; ++p) {
        // Every character gets a frame and animation of its own: labels and the scroller
        // later change one character's cell without touching the others.
        auto* frame = new SpriteFrame(sheet_, false, false, 0, 0, cellFor(*p), engine_);
        auto** frames = new SpriteFrame* [1] { frame };
        auto* durations = new int[1]{255};
        auto* skips = new int[1]{-1};
        auto* animation = new Animation(frames, 1, durations, skips);
        auto* actor = new Actor(animation, 0, 0, 0.0, 0.0);
        if (previous == nullptr)
            root = actor;
        else
            actor->attachTo(previous, spacing + cellWidth_, 0);
        previous = actor;
    }
    return root;
}

Actor* Font::makeNumber(int value, int spacing, int base, int minDigits) const {
    base = number_text::clampBase(base);
    return makeText(number_text::format(number_text::magnitude(value), base, minDigits).c_str(),
                    spacing);
}

void destroyText(Actor* root) {
    while (root != nullptr) {
        Actor* next = root->childCount() > 0 ? root->firstChild() : nullptr;
        Animation* animation = root->animation();
        SpriteFrame* frame = animation != nullptr ? animation->frame(0) : nullptr;
        delete root;
        delete animation;
        delete frame;
        root = next;
    }
}

int keyForChar(char ch) {
    // DirectInput scan codes follow the physical rows of the keyboard, not the alphabet.
    static constexpr int letterKeys[26] = {
        30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,  // a-m
        49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44,  // n-z
    };
    if (ch >= 'a' && ch <= 'z') return letterKeys[ch - 'a'];
    if (ch == '0') return 11;
    if (ch >= '1' && ch <= '9') return 2 + (ch - '1');
    return -1;
}
