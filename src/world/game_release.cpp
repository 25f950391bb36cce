// The end of a run: the world in play goes back to nothing and the shared animations, fonts
// and frames are freed, so the leak check of the sanitizer build sees a clean exit and a run
// in a test process leaves nothing behind for the next.
#include "actors/animation_table.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "world/world.h"

void releaseGame() {
    clearWorld();
    releaseAnimations();
}
