#include "screens/pause.h"

#include "base/events.h"
#include "rules/game_state.h"
#include "input/controls.h"

namespace {
bool pauseHeld() {
    if (theControls.isKeyDown(pauseKeys::pauseKey) || theControls.isKeyDown(pauseKeys::pauseKeyAlt))
        return true;
    for (int slot = 0; slot < maxPlayerCount; ++slot)
        if (theControls.isButtonDown(slot, pauseKeys::startButton)) return true;
    return false;
}
}  // namespace

void updatePause() {
    bool held = pauseHeld();
    bool pressed = held && !game.pauseHeld;
    game.pauseHeld = held;
    if (!pressed) return;
    if (!game.paused && game.gameState != statePlay) return;
    game.paused = !game.paused;
    emitEvent(game.paused ? EventKind::pause : EventKind::resume);
}
