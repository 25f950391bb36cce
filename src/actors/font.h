#pragma once
#include <cstddef>
#include <cstdint>

#include "actors/actor.h"
#include "actors/pool.h"

class Engine;
class Label;

// A sprite sheet of glyphs: letters A-Z, a-z from firstLetterCell; digits 0-9, then the
// characters 33-47, then 58-64 from firstDigitCell. Texts become chains of one-glyph actors.
class Font {
public:
    Font(const char* fileName, Engine* engine, int sheetWidth, int sheetHeight,
         int fileBitsPerPixel, int cellWidth, int cellHeight, int firstLetterCell,
         int firstDigitCell);
    virtual ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Its number among the run's fonts, numbered as they are made (labels refer to it).
    int id() const { return id_; }
    int cellFor(char ch) const;
    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int sheet() const { return sheet_; }
    int firstLetterCell() const { return firstLetterCell_; }
    int firstDigitCell() const { return firstDigitCell_; }
    Engine* engine() const { return engine_; }
    // A new hidden chain at (0, 0), not in any engine; null for a null or empty text.
    Actor* makeText(const char* text, int spacing) const;
    Actor* makeNumber(int value, int spacing, int base, int minDigits) const;

private:
    int id_;
    int firstLetterCell_;
    int firstDigitCell_;
    Engine* engine_;
    int sheet_;
    int cellWidth_;
    int cellHeight_;
};

Font* fontById(int id);
// Forgets every font (they are being freed) so numbering starts again.
void clearFontRegistry();

// Frees a chain made by makeText. The chain must already be out of any engine.
void destroyText(Actor* root);

// Frees a label made with new together with its chain, which must be out of any engine.
// (A label leaves its chain alone when it goes: labels on the stack hand it to destroyText.)
void destroyLabel(Label* label);

// DirectInput key code of a lowercase letter or digit, -1 for anything else.
int keyForChar(char ch);

int poolSlotOf(const Label* label);
Label* poolObjectAt(int slot, Label* tag);
using LabelRef = PoolRef<Label>;

// A text chain with what it was made from; a number label rewrites its digits in place. Made
// with new, a label lives in the world in play, like its characters.
class Label {
public:
    Label(const char* text, Font* font, int spacing);
    Label(int value, Font* font, int spacing, int base, int minDigits);

    static void* operator new(size_t size);
    static void operator delete(void* object);

    void setNumber(int value);
    Actor* actor() const { return actor_; }
    int value() const { return value_; }
    int digits() const { return digits_; }

private:
    int32_t digits_ = 0;
    int32_t spacing_;
    int32_t value_ = 0;
    int32_t base_ = 10;
    ActorRef actor_;
    uint8_t font_;
    uint8_t unused_ = 0;
};
static_assert(sizeof(Label) == 20, "a label has no padding");

constexpr int labelSlots = 48;
using LabelPool = Pool<Label, labelSlots>;
extern LabelPool& theLabelPool;
inline int poolSlotOf(const Label* label) { return theLabelPool.slotOf(label); }
inline Label* poolObjectAt(int slot, Label*) { return theLabelPool.at(slot); }
