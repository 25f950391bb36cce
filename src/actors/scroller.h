#pragma once
#include <cstddef>
#include <cstdint>

#include "actors/font.h"
#include "actors/pool.h"

class Engine;
class Scroller;

int poolSlotOf(const Scroller* scroller);
Scroller* poolObjectAt(int slot, Scroller* tag);
using ScrollerRef = PoolRef<Scroller>;

// A ticker line: a fixed row of glyph actors just wider than the screen that glides left and
// steps one cell at a time, bringing in the next character of a text that wraps for ever.
// Made with new, it lives in the world in play.
class Scroller {
public:
    // The text is read live, so its owner may rewrite it while the line runs; it must stay
    // where it is for as long as the scroller does.
    Scroller(Font* font, const char* text, int y);

    static void* operator new(size_t size);
    static void operator delete(void* object);

    void setSpeed(double pixelsPerUpdate);
    // The overlay list took it in: from now on an update builds the row of glyphs.
    void setOnStage() { onStage_ = true; }
    void rewind();
    void show();
    void hide();
    bool isShown() const { return shown_; }
    void update();

    Label* label() const { return label_; }
    int slots() const { return slots_; }
    int period() const { return period_; }
    int textPos() const { return textPos_; }

private:
    double speed_ = 1.0;
    int32_t period_;
    int32_t slots_ = 0;
    int32_t ticks_ = 0;
    int32_t cellWidth_;
    int32_t cellHeight_;
    int32_t y_;
    int32_t textPos_ = 0;
    LabelRef label_;
    uint8_t font_;
    uint8_t text_;  // scrollerTextById
    bool shown_ = false;
    bool onStage_ = false;
    uint8_t unused_[6] = {};
};
static_assert(sizeof(Scroller) == 48, "a scroller has no padding");

constexpr int scrollerSlots = 16;
using ScrollerPool = Pool<Scroller, scrollerSlots>;
extern ScrollerPool& theScrollerPool;
inline int poolSlotOf(const Scroller* scroller) { return theScrollerPool.slotOf(scroller); }
inline Scroller* poolObjectAt(int slot, Scroller*) { return theScrollerPool.at(slot); }

// The texts scrollers show, numbered as they are first shown (the same game numbers them
// the same way on every machine); a world's scroller refers to its text by that number.
int scrollerTextId(const char* text);
const char* scrollerTextById(int id);
