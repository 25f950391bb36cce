// After a level: difficulty up, then each player's name slides in and his score rises into
// place, one after the other; then the next level, or the end of the game.
#include <algorithm>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "engine/engine.h"
#include "rules/highscore_table.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"
#include "rules/play_sounds.h"

namespace {

bool gameOver() { return game.deadPlayers == game.numPlayers; }

bool atTopBound(const Actor* a) { return a->y() == a->topBound(); }

void raiseDifficulty() {
    const int n = game.numPlayers;
    // With three players the mix hardly changes: they face more climbers instead.
    game.climbTypeThreshold1 = std::max(0, game.climbTypeThreshold1 + 2 * (5 * n - 15));
    game.climbTypeThreshold2 = std::max(0, game.climbTypeThreshold2 + 7 * n - 22);
    game.climbTypeThreshold3 = std::max(0, game.climbTypeThreshold3 + 5 * n - 15);
}

void hideResults(int p) {
    if (Label* label = game.playerLabel[p]) label->actor()->hideTree();
    // Removing a display that an earlier level already took away changes nothing.
    if (Label* shown = game.scoreDisplay[p]) shown->actor()->removeTreeFromStage();
}

void endGame() {
    if (game.leftSupplyBall) game.leftSupplyBall->hide();
    if (game.rightSupplyBall) game.rightSupplyBall->hide();
    for (Actor* climber : game.climberActor) {
        if (climber) climber->hide();
    }
    for (int p = 0; p < maxPlayerCount; ++p) hideResults(p);
    if (game.leftMagazine) game.leftMagazine->hide();
    if (game.rightMagazine) game.rightMagazine->hide();

    int bestPlayer = 0;
    int best = 0;
    // A demo's game never stops for a name: nobody is there to type one.
    if (!game.demo && isNewHighscore(game.numPlayers, game.score, bestPlayer, best)) {
        beginNameEntry(bestPlayer, game.numPlayers, best);
        setGameState(stateNameEntry, true);
    } else {
        setGameState(stateMenu, true);
        buildMenu();
        game.stateFrame = 0;
    }
}

}  // namespace

void updateLevelEnd() {
    if (game.stateFrame != 30) return;
    raiseDifficulty();
    stopLevelMusic(game.levelIndex);
    ++game.levelIndex;
    for (int p = 0; p < game.numPlayers; ++p) {
        // At game over each player is judged by his best life, not the one just lost.
        if (gameOver() && game.bestScore[p] > game.score[p]) setScore(p, game.bestScore[p]);
        Actor* label = game.playerLabel[p]->actor();
        label->setPosition(-700, 130 + 100 * p);
        label->showTree();
        label->setVelocityX(0.0);
        label->setAccelerationX(0.0);
        label->setRightBound(100);
        label->setBoundsActive(true);

        // Made anew each level since the score may have grown a digit; the last level's
        // display left the engine when its results ended.
        if (Label* old = game.scoreDisplay[p]) {
            old->actor()->removeTreeFromStage();
            destroyLabel(old);
        }
        game.scoreDisplay[p] = new Label(game.score[p], gameFont, 5, 10, 0);
        Actor* shown = game.scoreDisplay[p]->actor();
        shown->addTreeToStage();
        shown->setPosition(200, 500);
        shown->setTopBound(180 + 100 * p);
        shown->setBoundsActive(true);
        shown->setVelocityY(0.0);
        shown->showTree();
    }
    game.playerLabel[0]->actor()->setAccelerationX(2.0);
    setGameState(stateResultsSlideIn, false);
}

void updateResultsSlideIn() {
    const int n = game.numPlayers;
    for (int p = 0; p < n; ++p) {
        Actor* label = game.playerLabel[p]->actor();
        Actor* shown = game.scoreDisplay[p]->actor();
        if (label->x() == label->rightBound()) shown->setAccelerationY(-2.0);
        if (p < n - 1 && atTopBound(shown)) game.playerLabel[p + 1]->actor()->setAccelerationX(2.0);
    }
    if (atTopBound(game.scoreDisplay[n - 1]->actor())) setGameState(stateResults, true);
}

void updateResults() {
    if (!gameOver()) {
        if (game.stateFrame != 50) return;
        for (int p = 0; p < game.numPlayers; ++p) hideResults(p);
        startLevel();
        return;
    }
    if (game.stateFrame == 200) endGame();
}
