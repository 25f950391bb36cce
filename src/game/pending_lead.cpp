// Temporary stand-ins for entry points whose real code is being written on other branches.
// Whoever implements one of these deletes its stand-in here (every pending_*.cpp file goes
// away once the branches are merged).
#include "actors/animation_table.h"
#include "frontend/highscores.h"
#include "game/game_flow.h"

void updateGame() {}
void updatePlayerControls() {}
void loadHighscores() {}
