#pragma once

#include "catalog/animation_rows.h"

class Actor;
class Animation;
class Font;
class SpriteFrame;

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
