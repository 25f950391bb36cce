#pragma once

class Actor;
class Animation;
class Font;
class SpriteFrame;

constexpr int animationRowCount = 58;

// One row of the game's animation table as authored: durations in authoring ticks (the
// build scales them by 0.65), skips, mirror flags (bit 0 left-right, bit 1 up-down), hot spots.
struct AnimationRowData {
    int sheet;
    int frameCount;
    int cells[16];
    int durations[16];
    int skips[16];
    int mirror[16];
    int hotX[16];
    int hotY[16];
};

// The authored table, one entry per row (animation_rows.cpp).
extern const AnimationRowData animationRows[animationRowCount];

// Built by buildAnimations() at start-up and shared by every actor.
extern Animation* animations[animationRowCount];
extern Font* gameFont;
extern Font* scrollerFont;
extern SpriteFrame* largeSplat[3];
extern SpriteFrame* smallSplat[3];

// The animation of every character of text: one frame, whose cell each character keeps
// itself (Actor::setGlyph).
Animation* glyphAnimation();

// Loads the five sprite sheets and two fonts and builds every row of the table.
void buildAnimations();
// Frees everything buildAnimations made and clears the pointers, so that a test (or a tool)
// can build again on another engine.
void releaseAnimations();
// An authored duration in updates. The table was authored for a slower frame rate; truncating
// means a duration of 1 becomes 0, which still shows the frame for one update.
inline int scaledDuration(int authored) { return static_cast<int>(authored * 0.65); }
