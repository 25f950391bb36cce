#include "game/game_flow.h"

// The screenshot button works on every screen, so it comes before the play-only actions.
void updatePlayerControls() {
    updateScreenshotButton();
    updatePlayerActions();
}
