#pragma once

// The rules of play: a new game and its levels, the climbers' coming, the players' actions
// and smart bombs. The screens call them; they call no screen.

// Game and level set-up
void startGame();
void startLevel();
void spawnClimber();

// Each player's stock of up to three smart bombs, and one fired.
void addSmartBomb(int player);
void removeSmartBomb(int player);
void fireSmartBomb(int player);

// One frame of play with the climbers (state 60).
void updatePlay();
// During play, each player's running, throwing and chainsaw strokes.
void updatePlayerActions();
