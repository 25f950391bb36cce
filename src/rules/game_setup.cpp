// New game, new level and climber spawning. Every play-field object is made on the first
// game of the run and only reset afterwards, so a long session never grows the actor list.
#include <string>

#include "actors/actor.h"
#include "engine/backdrop.h"
#include "actors/stage.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "engine/engine.h"
#include "rules/rules.h"
#include "rules/game_rand.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"
#include "rules/play_sounds.h"
#include "platform/clock.h"
#include "base/events.h"

namespace {

Actor* makeActor(int row, int x, int y) { return new Actor(animations[row], x, y, 0.0, 0.0); }

void setUpSmartBombIcons(int p) {
    ActorRef* icons = game.smartBombIcons[p];
    if (!icons[0]) {
        for (int k = 0; k < 3; ++k) {
            icons[k] = makeActor(rowBombIcon1 + p, -500, 0);
            theStage.addActor(icons[k]);
        }
        icons[1]->attachTo(icons[0], 15, 0);
        icons[2]->attachTo(icons[1], 15, 0);
    }
    game.smartBombs[p] = 0;
    game.smartBombCooldown[p] = 0;
    icons[0]->hideTree();
    addSmartBomb(p);
    addSmartBomb(p);
}

void setUpPlayer(int p, int n) {
    game.bestScore[p] = 0;
    setScore(p, 0);
    int x = 310 + 50 * (2 * p - n);
    ActorRef& player = game.playerActor[p];
    if (!player) {
        player = makeActor(rowStand, x, 40);
        game.playerMarker[p]->attachTo(player, 18, -30);
        player->setLeftBound(-20);
        player->setRightBound(570);
        player->setBoundsActive(true);
    } else {
        player->setPosition(x, 40);
    }
    player->show();
    theStage.addActor(player);
    game.playerWeapon[p] = weaponEmpty;
    game.playerState[p] = playerStanding;
    game.playerFacing[p] = facingNone;
    game.playerMarker[p]->show();
    theStage.addActor(game.playerMarker[p]);

    game.smartBombIcons[p][0]->attachTo(player, 0, -20);

    if (!game.chainsawDrop[p]) {
        game.chainsawDrop[p] = makeActor(rowChainsawDrop, 0, 0);
        theStage.addActor(game.chainsawDrop[p]);
    }
    game.chainsawDrop[p]->hide();

    if (!game.playerLabel[p]) {
        game.playerLabel[p] = new Label(game.playerLabelText, gameFont, 5);
        game.playerLabel[p]->actor()->hideTree();
        game.playerLabel[p]->actor()->addTreeToStage();
    }
    ++game.playerLabelText[6];
}

void setUpSupply() {
    if (!game.leftMagazine) {
        game.leftMagazine = makeActor(rowMagazineLeft, 0, 46);
        game.rightMagazine = makeActor(rowMagazineRight, 580, 46);
    } else {
        game.leftMagazine->setAnimation(animations[rowMagazineLeft]);
        game.rightMagazine->setAnimation(animations[rowMagazineRight]);
    }
    if (!game.leftSupplyBall) {
        game.leftSupplyBall = makeActor(rowBall, -100, -100);
        game.rightSupplyBall = makeActor(rowBall, -100, -100);
    }
    game.leftSupplyBall->setRightBound(leftSupplyStopX);
    game.leftSupplyBall->setBoundsActive(true);
    game.rightSupplyBall->setLeftBound(rightSupplyStopX);
    game.rightSupplyBall->setBoundsActive(true);

    for (int i = 0; i < ballSlots; ++i) {
        if (!game.ballActor[i]) game.ballActor[i] = makeActor(rowBall, -100, -100);
        game.ballActor[i]->setDepth(10);
        game.ballActor[i]->show();
        game.ballActive[i] = 0;
        theStage.addActor(game.ballActor[i]);
    }

    for (Actor* magazine : {game.leftMagazine, game.rightMagazine}) {
        magazine->setDepth(20);
        magazine->show();
        magazine->restartAnimation();
        theStage.addActor(magazine);
    }
    theStage.addActor(game.leftSupplyBall);
    theStage.addActor(game.rightSupplyBall);

    game.leftSupplyTimer = firstSupplyDelay;
    game.rightSupplyTimer = firstSupplyDelay;
    // A ball left waiting when the last game ended is hidden with the rest of the play field;
    // it must not be picked up, invisible, in the first frames of the next game.
    game.leftSupplyReady = 0;
    game.rightSupplyReady = 0;
}

// A body part still flying when its level ends would otherwise stay in the engine's list for
// good once its slot is handed out again.
void releaseBodyParts() {
    for (int i = 0; i < bodyPartSlots; ++i) releaseBodyPart(i);
}

}  // namespace

void releaseBodyPart(int slot) {
    if (Actor* part = game.bodyPart[slot]) {
        part->stopMotion();
        theStage.removeActor(part);
        delete part;
        game.bodyPart[slot] = nullptr;
    }
    game.bodyPartActive[slot] = 0;
}

void startGame() {
    const int n = game.numPlayers;
    game.playerLabelText[6] = '1';
    game.spawnInterval = 90;
    game.climbTypeThreshold1 = 65 - 25 * n;
    game.climbTypeThreshold2 = (4 - n) * 20;
    game.climbTypeThreshold3 = 95 - 15 * n;

    for (int p = 0; p < maxPlayerCount; ++p) {
        if (!game.playerMarker[p]) game.playerMarker[p] = makeActor(rowMarker1 + p, -500, 0);
    }
    for (int p = 0; p < n; ++p) setUpSmartBombIcons(p);

    showPicture(Picture::wall);

    for (int p = 0; p < n; ++p) setUpPlayer(p, n);
    setUpSupply();

    // Remembered so a recording can replay the game from the same seed.
    game.gameSeed = game.clock;
    ++game.gamesStarted;
    gameSrand(game.gameSeed);
    emitEvent(EventKind::newGame, static_cast<int32_t>(game.gameSeed));
    startLevel();
}

void startLevel() {
    const int n = game.numPlayers;
    if (Actor* figure = game.introFigure) {
        if (game.levelIndex == 0) figure->show();
        figure->setVelocityX(-1.0);
        figure->setLeftBound(520);
    }

    for (int p = 0; p < n; ++p) {
        Actor* player = game.playerActor[p];
        player->setAnimation(animations[rowStand]);
        game.throwCountdown[p] = -1;
        game.playerWeapon[p] = weaponEmpty;
        game.chainsawAvailable[p] = 1;
        if (game.playerState[p] == playerDead) {
            // The dead come back running in from the left, the higher numbers further out.
            player->setX(-150 - 120 * p);
            player->setAnimation(animations[rowRunRight]);
            player->restartAnimation();
            player->setVelocityX(10.0);
            player->showTree();
            game.playerState[p] = playerReentering;
            game.smartBombs[p] = 3;
            while (game.smartBombs[p] > 0) removeSmartBomb(p);
            --game.deadPlayers;
        }
    }

    if (game.spawnInterval > 10) game.spawnInterval -= 5;
    stopSound(Sound::chainsawLoop);
    restoreBackground();
    setGameState(stateLevelIntro, true);

    if (!game.levelText) {
        game.levelText = gameFont->makeText("level", 0);
        game.levelText->addTreeToStage();
    }
    if (!game.levelNumberDisplay) {
        game.levelNumberDisplay = new Label(game.levelIndex + 1, gameFont, 5, 10, 2);
        game.levelNumberDisplay->actor()->addTreeToStage();
    } else {
        game.levelNumberDisplay->setNumber(game.levelIndex + 1);
    }
    game.levelNumberDisplay->actor()->setPosition(-500, 0);

    game.climbersToSpawn = game.climbersPerLevel;
    game.climbersPerLevel += 5 * n;
    game.climbersActive = 0;

    game.levelText->setPosition(-300, 200);
    game.levelText->setVelocityX(18.0);
    game.levelText->setVelocityY(0.0);
    game.levelText->setAccelerationX(-0.154);
    game.levelText->setAccelerationY(0.0);
    game.levelText->showTree();

    game.spawnCountdown = game.spawnInterval;
    for (int i = 0; i < climberSlots; ++i) game.climberState[i] = climberFree;
    releaseBodyParts();
}

void spawnClimber() {
    int i = 0;
    while (i < climberSlots && game.climberState[i] != climberFree) ++i;
    if (i == climberSlots) return;

    game.climberTargetX[i] = gameRandBelow(540);
    game.climberDir[i] = gameRand() & 1;
    game.climberState[i] = climberWalking;

    ActorRef& climber = game.climberActor[i];
    if (!climber) {
        climber = makeActor(rowClimberWalkInRight, 0, 350);
        climber->setDepth(5);
        game.climberBonusLabel[i] = makeActor(rowLabel200, -500, 0);
        game.climberBonusLabel[i]->hide();
        theStage.addActor(game.climberBonusLabel[i]);
    }
    if (game.climberDir[i] == dirLeft) {
        climber->setAnimation(animations[rowClimberWalkInLeft]);
        climber->setPosition(700, 350);
        climber->stopMotion();
        climber->setVelocityX(-7.0);
    } else {
        climber->setAnimation(animations[rowClimberWalkInRight]);
        climber->setPosition(-110, 350);
        climber->stopMotion();
        climber->setVelocityX(7.0);
    }
    emitEvent(EventKind::spawn, i, game.climberTargetX[i], game.climberDir[i]);
    climber->restartAnimation();
    theStage.addActor(climber);
    climber->show();
    ++game.climbersActive;
    --game.climbersToSpawn;
}
