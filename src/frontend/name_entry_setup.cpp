#include <cstdio>
#include <cstring>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "frontend/highscores.h"
#include "frontend/retire_scroller.h"
#include "game/game_flow.h"
#include "game/game_state.h"

namespace {
// The scroller reads its text live, so the buffer lives as long as the program.
char messageText[300];
}  // namespace

void beginNameEntry(int winner, int players, int score) {
    theEngine->clearAllSurfaces();

    std::memset(messageText, 0, sizeof messageText);
    std::snprintf(messageText, sizeof messageText,
                  "Player:%d has broken the highscore for %d player games (new highscore is: "
                  "%d) please enter your name ...........",
                  winner + 1, players, score);

    // A second record in the same run replaces the first message and field.
    retireScroller(game.nameEntryMessage, theEngine);
    if (game.nameField != nullptr) {
        game.nameField->removeTreeFrom(theEngine);
        destroyText(game.nameField);
    }

    game.nameEntryMessage = new Scroller(scrollerFont, messageText, 80);
    game.nameEntryMessage->setSpeed(3.75);
    theEngine->addOverlay(game.nameEntryMessage);

    game.nameField = gameFont->makeText("        ", 5);
    game.nameField->setPosition(50, 110);
    game.nameField->addTreeTo(theEngine);

    game.nameEntryMessage->rewind();
    game.nameEntryMessage->show();
    game.nameField->showTree();

    game.nameLength = 0;
    game.heldKey = -1;
    // Out-of-range player counts are kept inside the three-entry table.
    int slot = players < 1 ? 1 : players > 3 ? 3 : players;
    std::memset(highscoreName[slot - 1], 0, sizeof highscoreName[slot - 1]);
    game.pendingHighscore = score;
    game.nameEntrySlot = slot;
}
