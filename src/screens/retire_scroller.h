#pragma once
#include "actors/actor.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "actors/stage.h"

// Takes a scroller that is being replaced off the screen for good and frees it with its row
// of glyphs. Leaving the overlay list alone would stop it, but the row would stay in the
// actor list, frozen and still drawn under the new line; and every record of a long session
// would keep one more row in memory.
inline void retireScroller(Scroller* scroller) {
    if (scroller == nullptr) return;
    scroller->hide();
    if (scroller->label() != nullptr) scroller->label()->actor()->removeTreeFromStage();
    theStage.removeOverlay(scroller);
    delete scroller;
}
