#include "rules/game_state.h"

#include "base/events.h"

void setGameState(int newState, bool resetFrame) {
    if (newState != game.gameState) emitEvent(EventKind::state, game.gameState, newState);
    game.gameState = newState;
    if (resetFrame) game.stateFrame = 0;
}

void setScore(int player, int value) {
    if (game.score[player] != value) emitEvent(EventKind::score, player, value);
    game.score[player] = value;
}
