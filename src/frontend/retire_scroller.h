#pragma once
#include "actors/actor.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"

// Takes a scroller that is being replaced off the screen for good. Leaving the overlay list
// alone would stop it, but its row of glyphs would stay in the actor list, frozen and still
// drawn under the new line.
inline void retireScroller(Scroller* scroller, Engine* engine) {
    if (scroller == nullptr) return;
    scroller->hide();
    if (scroller->label() != nullptr) scroller->label()->actor()->removeTreeFrom(engine);
    engine->removeOverlay(scroller);
}
