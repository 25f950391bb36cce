// The end of a run: everything the game flow made for the screens and the play field is
// freed, so the leak check of the sanitizer build sees a clean exit and a run in a test
// process leaves nothing behind for the next.
#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/play_rules.h"

namespace {

template <typename T>
void free(T*& object) {
    delete object;
    object = nullptr;
}

void free(Label*& label) {
    destroyLabel(label);
    label = nullptr;
}

void freeText(Actor*& text) {
    destroyText(text);
    text = nullptr;
}

}  // namespace

void releaseGame() {
    for (int p = 0; p < maxPlayerCount; ++p) {
        free(game.playerActor[p]);
        free(game.chainsawDrop[p]);
        free(game.playerMarker[p]);
        for (Actor*& icon : game.smartBombIcons[p]) free(icon);
        free(game.playerLabel[p]);
        free(game.scoreDisplay[p]);
    }
    for (int i = 0; i < climberSlots; ++i) {
        free(game.climberActor[i]);
        free(game.climberBonusLabel[i]);
    }
    for (Actor*& ball : game.ballActor) free(ball);
    for (int i = 0; i < bodyPartSlots; ++i) releaseBodyPart(i);
    free(game.leftMagazine);
    free(game.rightMagazine);
    free(game.leftSupplyBall);
    free(game.rightSupplyBall);
    free(game.introFigure);
    free(game.menuCursor);
    free(game.playerCountDisplay);
    for (Label*& item : game.menuItemText) free(item);
    free(game.levelNumberDisplay);
    freeText(game.nameField);
    free(game.creditsScroller);
    free(game.highscoreScroller);
    free(game.nameEntryMessage);
    releaseAnimations();
}
