// One frame of play: everything that concerns the level as a whole and the players. The
// controls run after this in the same frame, so what they start is acted on one frame later.
#include <string>

#include "actors/actor.h"
#include "engine/backdrop.h"
#include "input/controls.h"
#include "actors/animation_table.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
#include "rules/rules.h"
#include "rules/game_rand.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"
#include "rules/play_sounds.h"
#include "base/events.h"

int resupplyDelay(int players) {
    if (players <= 1) return 120;
    // Integer division first, as the delays of 90 and 60 frames were tuned that way.
    return static_cast<int>((120 / players) * 1.5);
}

bool inLeftPickupZone(int x) { return x > 30 && x < 45; }
bool inRightPickupZone(int x) { return x > 530 && x < 545; }

namespace {

void checkEscape() {
    if (!theControls.isKeyDown(escapeKey)) return;
    // Giving up counts as everybody dying, so the game-over results follow.
    game.deadPlayers = game.numPlayers;
    for (int p = 0; p < game.numPlayers; ++p) game.playerActor[p]->hideTree();
}

void checkEndOfLevel() {
    bool allDead = game.deadPlayers >= game.numPlayers;
    bool cleared = game.climbersToSpawn == 0 && game.climbersActive == 0;
    if (!allDead && !cleared) return;
    stopSound(Sound::chainsawLoop);
    playSound(Sound::cheer);
    setGameState(stateLevelEnd, true);
    for (int p = 0; p < game.numPlayers; ++p) {
        game.playerActor[p]->stopMotion();
        game.playerActor[p]->stopAnimation();
    }
    for (Actor* climber : game.climberActor) {
        if (climber) climber->hide();
    }
}

void updateBodyParts() {
    for (int i = 0; i < bodyPartSlots; ++i) {
        if (!game.bodyPartActive[i]) continue;
        Actor* part = game.bodyPart[i];
        if (part->y() > 480) {
            releaseBodyPart(i);
        } else if (part->y() > 100 && gameRandBelow(3) == 0) {
            // Below the wall top a flying part leaves a trail of drops on the wall.
            int drop = smallSplatFrame(gameRandBelow(3));
            int r1 = gameRandBelow(20);
            int r2 = gameRandBelow(20);
            stampSplat(drop, part->x() + r1 - 10, part->y() + r2 - 10);
        }
    }
}

void updatePlayerTimers() {
    for (int p = 0; p < game.numPlayers; ++p) {
        ++game.smartBombCooldown[p];
        if (game.playerActionTimer[p] <= 0) continue;
        if (--game.playerActionTimer[p] > 0) continue;
        Actor* player = game.playerActor[p];
        switch (game.playerState[p]) {
            case playerCatchingChainsaw:
                game.playerState[p] = playerStanding;
                game.playerWeapon[p] = weaponChainsaw;
                player->setAnimation(animations[rowChainsawCaught]);
                game.chainsawDrop[p]->hide();
                game.chainsawDrop[p]->stopMotion();
                loopSound(Sound::chainsawLoop);
                break;
            case playerStrokeA:
            case playerStrokeB:
            case playerStrokeC:
                player->setAnimation(
                    animations[game.playerFacing[p] == facingLeft ? rowStandWithChainsawLeft
                                                                  : rowStandWithChainsawRight]);
                game.playerState[p] = playerStanding;
                break;
            case playerDying:
                emitEvent(EventKind::dead, p);
                game.playerState[p] = playerDead;
                player->hideTree();
                ++game.deadPlayers;
                break;
            default:
                // A player who ran off while the chainsaw fell lets it drop past him.
                break;
        }
    }
}

void updateSpawning() {
    if (--game.spawnCountdown != 0) return;
    if (game.climbersToSpawn > 0) spawnClimber();
    game.spawnCountdown = game.spawnInterval;
}

void updateSupplySide(int& timer, uint8_t& ready, Actor* ball, int startX, double speed) {
    if (timer < 0) return;
    if (timer == 0) ready = 1;
    if (timer == 9) {
        ball->setPosition(startX, 90);
        ball->setVelocityX(speed);
        ball->show();
    }
    if (timer == 30) playSound(Sound::clang);
    --timer;
}

void pickUp(int p, Actor* player, Actor* ball, uint8_t& ready, int& timer) {
    if (game.playerState[p] == playerRunningRight) {
        player->setAnimation(animations[rowRunRightWithBall]);
    } else if (game.playerState[p] == playerRunningLeft) {
        player->setAnimation(animations[rowRunLeftWithBall]);
    }
    player->restartAnimation();
    ball->hide();
    playSoundAt(Sound::swish, 44100);
    game.playerWeapon[p] = weaponBall;
    ready = 0;
    timer = resupplyDelay(game.numPlayers);
    emitEvent(EventKind::pickup, p, ball == game.leftSupplyBall ? 0 : 1);
}

void updatePickUp(int p, Actor* player) {
    if (game.playerWeapon[p] != weaponEmpty) return;
    if (inLeftPickupZone(player->x()) && game.leftSupplyReady) {
        pickUp(p, player, game.leftSupplyBall, game.leftSupplyReady, game.leftSupplyTimer);
    }
    if (game.playerWeapon[p] != weaponEmpty) return;
    if (inRightPickupZone(player->x()) && game.rightSupplyReady) {
        pickUp(p, player, game.rightSupplyBall, game.rightSupplyReady, game.rightSupplyTimer);
    }
}

void updateChainsaw(int p, Actor* player) {
    if (game.playerState[p] != playerStanding || !theControls.isButtonDown(p, 1)) return;
    if (game.playerWeapon[p] == weaponChainsaw) {
        // Only a fresh press drops it: the press that called it may still be held at the catch.
        if (theControls.wasButtonDown(p, 1)) return;
        game.playerWeapon[p] = weaponEmpty;
        player->setAnimation(animations[rowStand]);
        stopSound(Sound::chainsawLoop);
    } else if (game.chainsawAvailable[p]) {
        game.playerState[p] = playerCatchingChainsaw;
        game.playerActionTimer[p] = chainsawCatchFrames;
        Actor* saw = game.chainsawDrop[p];
        saw->setPosition(player->x() - 5, -80);
        saw->stopMotion();
        saw->setAccelerationY(0.4);
        saw->show();
        player->setAnimation(animations[rowCallChainsaw]);
        player->restartAnimation();
        game.chainsawAvailable[p] = 0;
    }
}

void updateThrow(int p, Actor* player) {
    int& countdown = game.throwCountdown[p];
    if (countdown == -1) return;
    if (countdown == 6) {
        player->setAnimation(animations[rowThrow]);
        game.playerState[p] = playerThrowing;
        player->stopMotion();
    } else if (countdown == 0 && game.playerWeapon[p] == weaponBall) {
        int slot = game.nextBall;
        Actor* ball = game.ballActor[slot];
        // The ring is reused without looking: a ball still falling in this slot jumps up here.
        ball->setPosition(player->x() + 37, 60);
        ball->setVelocityY(0.0);
        ball->setAccelerationY(0.7);
        ball->show();
        game.ballActive[slot] = 1;
        game.ballOwner[slot] = p;
        game.ballHits[slot] = 0;
        game.nextBall = (slot + 1) % ballSlots;
        emitEvent(EventKind::throwBall, p, slot, ball->x());
        game.playerState[p] = playerStanding;
        game.playerWeapon[p] = weaponEmpty;
    }
    --countdown;
}

void updatePlayers() {
    // Never past the third player, whatever the count says.
    for (int p = 0; p < game.numPlayers && p < maxPlayerCount; ++p) {
        Actor* player = game.playerActor[p];
        if (game.smartBombs[p] > 0 && game.smartBombCooldown[p] >= smartBombRepeatFrames &&
            theControls.isButtonDown(p, 2)) {
            fireSmartBomb(p);
            game.smartBombCooldown[p] = 0;
        }
        updatePickUp(p, player);
        updateChainsaw(p, player);
        updateThrow(p, player);
    }
}

void clearFallenBalls() {
    for (int i = 0; i < ballSlots; ++i) {
        if (!game.ballActive[i] || game.ballActor[i]->y() <= 700) continue;
        game.ballActor[i]->stopMotion();
        game.ballActor[i]->hide();
        game.ballActive[i] = 0;
    }
}

}  // namespace

void updatePlay() {
    checkEscape();
    // The rest of the frame still runs after the level ends, so the last hits still count.
    checkEndOfLevel();
    updateBodyParts();
    updatePlayerTimers();
    updateSpawning();
    updateSupplySide(game.leftSupplyTimer, game.leftSupplyReady, game.leftSupplyBall, 30, 1.0);
    updateSupplySide(game.rightSupplyTimer, game.rightSupplyReady, game.rightSupplyBall, 598, -1.0);
    updateClimbers();
    updatePlayers();
    clearFallenBalls();
}
