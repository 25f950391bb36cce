#include "actors/font.h"

#include <cstring>
#include <vector>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/number_text.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"

namespace {
std::vector<Font*>& fontRegistry() {
    static std::vector<Font*> fonts;
    return fonts;
}
}  // namespace

Font* fontById(int id) {
    if (id < 0 || id >= static_cast<int>(fontRegistry().size())) return nullptr;
    return fontRegistry()[id];
}

void clearFontRegistry() { fontRegistry().clear(); }

Font::Font(const char* fileName, Engine* engine, int sheetWidth, int sheetHeight,
           int fileBitsPerPixel, int cellWidth, int cellHeight, int firstLetterCell,
           int firstDigitCell)
    : id_(static_cast<int>(fontRegistry().size())),
      firstLetterCell_(firstLetterCell),
      firstDigitCell_(firstDigitCell),
      engine_(engine),
      sheet_(engine->addSheet(fileName, sheetWidth, sheetHeight, fileBitsPerPixel, cellWidth,
                              cellHeight, true)),
      cellWidth_(cellWidth),
      cellHeight_(cellHeight) {
    fontRegistry().push_back(this);
}

Font::~Font() {
    if (id_ < static_cast<int>(fontRegistry().size()) && fontRegistry()[id_] == this)
        fontRegistry()[id_] = nullptr;
}

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
        // Every character shows a cell of its own: labels and the scroller later change one
        // character's cell without touching the others.
        auto* actor = new Actor(glyphAnimation(), 0, 0, 0.0, 0.0);
        actor->setGlyph(sheet_, cellFor(*p));
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
        Actor* next = root->firstChild();
        delete root;
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
