#include "game/game_state.h"

#include "shell/trace.h"

GameState game;

void setGameState(int newState, bool resetFrame) {
    if (newState != game.gameState) traceState(game.gameState, newState);
    game.gameState = newState;
    if (resetFrame) game.stateFrame = 0;
}

void setScore(int player, int value) {
    if (game.score[player] != value) traceScore(player, value);
    game.score[player] = value;
}
