// A game cut short (a demo ended by a key): everything of the play field goes out of sight
// and silent at once, and the menu comes back as it does after a game. The objects stay
// made; the next game resets them as usual.
#include "actors/actor.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"
#include "rules/play_sounds.h"

namespace {
void hideActor(Actor* actor) {
    if (actor != nullptr) actor->hideTree();
}
}  // namespace

void abandonGame() {
    stopLevelMusic(game.levelIndex);
    stopSound(Sound::chainsawLoop);
    for (int p = 0; p < maxPlayerCount; ++p) {
        hideActor(game.playerActor[p]);
        hideActor(game.playerMarker[p]);
        hideActor(game.chainsawDrop[p]);
        hideActor(game.smartBombIcons[p][0]);
        if (Label* label = game.playerLabel[p]) label->actor()->hideTree();
        if (Label* shown = game.scoreDisplay[p]) shown->actor()->removeTreeFromStage();
        game.scoreDisplay[p] = nullptr;
        game.throwCountdown[p] = -1;
    }
    for (int i = 0; i < climberSlots; ++i) {
        hideActor(game.climberActor[i]);
        hideActor(game.climberBonusLabel[i]);
        game.climberState[i] = climberFree;
    }
    for (int i = 0; i < ballSlots; ++i) {
        hideActor(game.ballActor[i]);
        game.ballActive[i] = 0;
    }
    for (int i = 0; i < bodyPartSlots; ++i)
        if (game.bodyPartActive[i]) releaseBodyPart(i);
    for (Actor* a :
         {game.leftMagazine, game.rightMagazine, game.leftSupplyBall, game.rightSupplyBall})
        hideActor(a);
    if (game.levelNumberDisplay != nullptr) game.levelNumberDisplay->actor()->hideTree();
    if (game.nameField != nullptr) game.nameField->removeTreeFromStage();
    if (game.nameEntryMessage != nullptr) game.nameEntryMessage->hide();
    game.climbersActive = 0;
    game.climbersToSpawn = 0;
    game.nameEntrySlot = 1;

    setGameState(stateMenu, true);
    buildMenu();
    game.stateFrame = 0;
}
