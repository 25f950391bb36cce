#pragma once

class Actor;
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
    int firstLetterCell_;
    int firstDigitCell_;
    Engine* engine_;
    int sheet_;
    int cellWidth_;
    int cellHeight_;
};

// Frees a chain made by makeText: every character's actor, animation and frame. The chain
// must already be out of any engine.
void destroyText(Actor* root);

// Frees a label made with new together with its chain, which must be out of any engine.
// (Label's destructor leaves the chain alone: labels on the stack hand it to destroyText.)
void destroyLabel(Label* label);

// DirectInput key code of a lowercase letter or digit, -1 for anything else.
int keyForChar(char ch);

// A text chain with what it was made from; a number label rewrites its digits in place.
class Label {
public:
    Label(const char* text, Font* font, int spacing);
    Label(int value, Font* font, int spacing, int base, int minDigits);
    virtual ~Label();

    void setNumber(int value);
    Actor* actor() const { return actor_; }
    int value() const { return value_; }
    int digits() const { return digits_; }

private:
    Actor* actor_;
    int digits_ = 0;
    Font* font_;
    int spacing_;
    int value_ = 0;
    int base_ = 10;
};
