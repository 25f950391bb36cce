// Stand-ins for the play branch's entry points until it is merged.
#include "game/game_flow.h"
#include "game/game_state.h"

void startGame() { setGameState(stateLevelIntro, true); }
void updateLevelIntro() {}
void updatePlay() {}
void updateLevelEnd() {}
void updateResultsSlideIn() {}
void updateResults() {}
void updatePlayerActions() {}
