// Entry points whose real code is still being written on other branches. Each branch that
// implements one of these deletes its line here.
#include "actors/animation_table.h"
#include "frontend/highscores.h"
#include "game/game_flow.h"

void buildAnimations() {}
void updateGame() {}
void updatePlayerControls() {}
void loadHighscores() {}
