#include <cstdio>
#include <cstring>

#include "actors/actor.h"
#include "engine/backdrop.h"
#include "actors/stage.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "rules/highscore_table.h"
#include "screens/retire_scroller.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"

void beginNameEntry(int winner, int players, int score) {
    showPicture(Picture::black);

    std::memset(game.nameEntryText, 0, sizeof game.nameEntryText);
    std::snprintf(game.nameEntryText, sizeof game.nameEntryText,
                  "Player:%d has broken the highscore for %d player games (new highscore is: "
                  "%d) please enter your name ...........",
                  winner + 1, players, score);

    // A second record in the same run replaces the first message and field.
    retireScroller(game.nameEntryMessage);
    if (game.nameField != nullptr) {
        game.nameField->removeTreeFromStage();
        destroyText(game.nameField);
    }

    game.nameEntryMessage = new Scroller(scrollerFont, game.nameEntryText, 80);
    game.nameEntryMessage->setSpeed(3.75);
    theStage.addOverlay(game.nameEntryMessage);

    game.nameField = gameFont->makeText("        ", 5);
    game.nameField->setPosition(50, 110);
    game.nameField->addTreeToStage();

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
    game.nameEntryPlayer = winner < 0 || winner > 2 ? 0 : winner;
}
