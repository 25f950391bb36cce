// The per-player half of the controls: running, standing, starting a throw or a stroke.
// The play frame then carries each action through; nothing here is timed.
#include "actors/actor.h"
#include "input/controls.h"
#include "actors/animation_table.h"
#include "engine/engine.h"
#include "rules/rules.h"
#include "rules/game_rand.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"
#include "rules/play_sounds.h"

namespace {

constexpr uint32_t directionLeft = 0x4;
constexpr uint32_t directionRight = 0x8;

bool ignoresControls(int state) {
    return state == playerThrowing || state == playerStrokeA || state == playerStrokeB ||
           state == playerStrokeC || state == playerDying || state == playerDead;
}

void run(int p, Actor* player, bool left) {
    switch (game.playerWeapon[p]) {
        case weaponEmpty:
            player->setVelocityX(left ? -10.0 : 10.0);
            player->setAnimation(animations[left ? rowRunLeft : rowRunRight]);
            break;
        case weaponBall:
            player->setVelocityX(left ? -7.0 : 7.0);
            player->setAnimation(animations[left ? rowRunLeftWithBall : rowRunRightWithBall]);
            break;
        case weaponChainsaw:
            player->setVelocityX(left ? -7.0 : 7.0);
            player->setAnimation(
                animations[left ? rowRunLeftWithChainsaw : rowRunRightWithChainsaw]);
            break;
        default:
            break;
    }
    player->restartAnimation();
    game.playerState[p] = left ? playerRunningLeft : playerRunningRight;
    game.playerFacing[p] = left ? facingLeft : facingRight;
}

void stand(int p, Actor* player) {
    switch (game.playerWeapon[p]) {
        case weaponEmpty:
            player->setAnimation(animations[rowStand]);
            game.playerFacing[p] = facingNone;
            break;
        case weaponBall:
            player->setAnimation(animations[rowStandWithBall]);
            game.playerFacing[p] = facingNone;
            break;
        case weaponChainsaw:
            player->setAnimation(
                animations[game.playerFacing[p] == facingLeft ? rowStandWithChainsawLeft
                                                              : rowStandWithChainsawRight]);
            player->restartAnimation();
            break;
        default:
            break;
    }
    player->setVelocityX(0.0);
    game.playerState[p] = playerStanding;
}

struct Stroke {
    int depth;
    int leftRow;
    int rightRow;
    int state;
    int frames;
    int soundDelay;
};
// The blade's sound comes when it bites, which is later in the long sweep.
constexpr Stroke strokes[3] = {
    {6, rowStrokeALeft, rowStrokeARight, playerStrokeA, 18, 12},
    {4, rowStrokeBLeft, rowStrokeBRight, playerStrokeB, 20, 15},
    {4, rowStrokeCLeft, rowStrokeCRight, playerStrokeC, 18, 5},
};

void fire(int p, Actor* player) {
    if (game.playerWeapon[p] == weaponBall) {
        game.throwCountdown[p] = 6;
        player->stopMotion();
    } else if (game.playerWeapon[p] == weaponChainsaw) {
        const Stroke& s = strokes[gameRandBelow(3)];
        player->stopMotion();
        player->setDepth(s.depth);
        player->setAnimation(
            animations[game.playerFacing[p] == facingLeft ? s.leftRow : s.rightRow]);
        game.playerState[p] = s.state;
        game.playerActionTimer[p] = s.frames;
        playSoundDelayed(Sound::chainsawSlash, s.soundDelay);
    }
}

}  // namespace

void updatePlayerActions() {
    if (game.gameState != statePlay) return;
    for (int p = 0; p < game.numPlayers; ++p) {
        // stateFrame runs on from the level intro, so this is 320 frames into the first level.
        if (game.levelIndex == 0 && game.stateFrame == 500 && game.introFigure) {
            game.introFigure->setRightBound(800);
            game.introFigure->setVelocityX(1.0);
        }
        if (ignoresControls(game.playerState[p])) continue;
        Actor* player = game.playerActor[p];
        uint32_t d = theControls.directions(p);

        if ((d & directionLeft) && game.playerState[p] != playerRunningLeft) run(p, player, true);
        // Both held: left is taken first and right then wins.
        if ((d & directionRight) && game.playerState[p] != playerRunningRight)
            run(p, player, false);
        if (!(d & (directionLeft | directionRight)) && game.playerState[p] != playerStanding &&
            game.playerState[p] != playerCatchingChainsaw) {
            stand(p, player);
        }
        // Held fire repeats whenever the state allows: no need to tap for every throw or stroke.
        if (theControls.isButtonDown(p, 0)) fire(p, player);
    }
}
