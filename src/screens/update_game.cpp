#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"
#include "screens/screens.h"

void updateGame() {
    ++game.stateFrame;
    switch (game.gameState) {
        case stateStartup:
            updateStartup();
            break;
        case stateTitle:
            updateTitle();
            break;
        case stateMenu:
            updateMenu();
            break;
        case stateNewGame:
            // startGame() ends in the level intro; 40 only marks that set-up is under way.
            setGameState(stateSetup, false);
            startGame();
            break;
        case stateLevelIntro:
            updateLevelIntro();
            break;
        case statePlay:
            updatePlay();
            break;
        case stateLevelEnd:
            updateLevelEnd();
            break;
        case stateResultsSlideIn:
            updateResultsSlideIn();
            break;
        case stateResults:
            updateResults();
            break;
        case stateNameEntry:
            updateNameEntry();
            break;
        case stateNameAccepted:
            updateNameAccepted();
            break;
        default:
            break;  // unknown states leave the flow idle; the engine keeps running
    }
}
