// The climbers' lives: walk to the wall, climb in bursts, come over the top, hunt the nearest
// player and strike; and the two ways to stop them, balls from above and the chainsaw on top.
#include <cmath>
#include <cstdlib>
#include <string>

#include "actors/actor.h"
#include "engine/backdrop.h"
#include "actors/stage.h"
#include "actors/animation_table.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
#include "rules/rules.h"
#include "rules/game_rand.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"
#include "rules/play_sounds.h"
#include "base/events.h"
#include "sound/sound.h"

int ballHitPoints(int hits) {
    if (hits <= 1) return 100;
    if (hits <= 3) return 200;
    if (hits <= 5) return 400;
    return 800;
}

int ballHitLabelRow(int hits) {
    if (hits <= 1) return -1;
    if (hits <= 3) return rowLabel200;
    if (hits <= 5) return rowLabel400;
    return rowLabel800;
}

bool withinStrikeReach(int climberX, int targetX) {
    // Deliberately lopsided (45 to the right, 44 to the left): the game has always played
    // this way, and a pixel more or less decides who is struck first.
    if (targetX >= climberX) return targetX - climberX <= strikeReach;
    return climberX - targetX < strikeReach;
}

bool withinChainsawReach(int playerX, int facing, int climberX) {
    if (facing == facingLeft) return climberX < playerX && playerX - climberX <= chainsawReach;
    if (facing == facingRight) return climberX >= playerX && climberX - playerX <= chainsawReach;
    return false;
}

int chooseClimberTarget(int climberX) {
    int target = 0;
    int best = 1000;
    for (int p = 0; p < game.numPlayers; ++p) {
        int state = game.playerState[p];
        if (state == playerDying || state == playerDead) continue;
        int distance = std::abs(game.playerActor[p]->x() - climberX);
        if (distance < best) {
            best = distance;
            target = p;
        }
    }
    return target;
}

namespace {

struct ClimbType {
    int row;
    double speed;
    int rest;
    int burst;
};
constexpr ClimbType climbTypes[4] = {
    {rowClimb1, 1.7, 38, 12},
    {rowClimb2, 2.0, 28, 10},
    {rowClimb3, 2.5, 20, 8},
    {rowClimb4, 3.0, 10, 6},
};

int chooseClimbType() {
    int r = gameRandBelow(100);
    if (r >= game.climbTypeThreshold3) return 3;
    if (r >= game.climbTypeThreshold2) return 2;
    if (r >= game.climbTypeThreshold1) return 1;
    return 0;
}

void setState(int i, int state) {
    game.climberState[i] = state;
    game.climberTimer[i] = 0;
}

void walk(int i, Actor* climber) {
    bool arrived = game.climberDir[i] == dirRight ? climber->x() >= game.climberTargetX[i]
                                                  : climber->x() <= game.climberTargetX[i];
    if (!arrived) return;
    climber->stopMotion();
    setState(i, climberResting);
    const ClimbType& type = climbTypes[chooseClimbType()];
    climber->setAnimation(animations[type.row]);
    game.climberSpeed[i] = type.speed;
    // The fastest climbers double their pace when there are several players to keep busy.
    if (type.row == rowClimb4 && game.numPlayers >= 2) game.climberSpeed[i] = 6.0;
    game.climberRest[i] = type.rest;
    game.climberBurst[i] = type.burst;
    climber->restartAnimation();
}

void climb(int i, Actor* climber) {
    if (game.climberTimer[i] == game.climberBurst[i]) {
        setState(i, climberResting);
        climber->stopMotion();
    }
    if (game.climberState[i] == climberClimbing && climber->y() <= 30) {
        climber->stopMotion();
        climber->setAnimation(animations[rowClimberOverTop]);
        setState(i, climberOverTheTop);
    }
}

void hunt(int i, Actor* climber) {
    int target = chooseClimberTarget(climber->x());
    game.climberTarget[i] = target;
    int tx = game.playerActor[target]->x();
    int cx = climber->x();
    bool toTheRight = tx >= cx;
    if (withinStrikeReach(cx, tx)) {
        climber->stopMotion();
        climber->setAnimation(
            animations[toTheRight ? rowClimberStrikeRight : rowClimberStrikeLeft]);
        setState(i, climberStriking);
    } else if (toTheRight && game.climberDir[i] != dirRight) {
        climber->setAnimation(animations[rowClimberWalkRight]);
        climber->setVelocityX(7.0);
        game.climberDir[i] = dirRight;
    } else if (!toTheRight && game.climberDir[i] != dirLeft) {
        climber->setAnimation(animations[rowClimberWalkLeft]);
        climber->setVelocityX(-7.0);
        game.climberDir[i] = dirLeft;
    }
}

void strike(int i, Actor* climber) {
    int target = game.climberTarget[i];
    Actor* player = game.playerActor[target];
    int distance = std::abs(climber->x() - player->x());
    int targetState = game.playerState[target];
    if (game.climberTimer[i] == 3) {
        // Only now does the blow land: a player who ran off in the first frames is safe.
        if (distance <= strikeReach && targetState != playerDying && targetState != playerDead) {
            player->stopMotion();
            player->setAnimation(animations[rowPlayerDying]);
            game.playerState[target] = playerDying;
            game.playerActionTimer[target] = 45;
            emitEvent(EventKind::struck, target, i);
            game.climberDir[i] = dirUndecided;
        }
    } else if (game.climberTimer[i] == 9) {
        game.climberState[i] = climberHunting;
        if (distance > strikeReach || targetState == playerDead) game.climberDir[i] = dirUndecided;
    }
}

void splatter(Actor* ball) {
    double v = ball->velocityY();
    int bx = ball->x();
    int by = ball->y();
    if (v < 10.0) {
        stampSplat(smallSplatFrame(gameRandBelow(3)), bx - 25, by - 10);
    } else if (v < 17.0) {
        stampSplat(largeSplatFrame(gameRandBelow(3)), bx - 25, by - 10);
    } else {
        for (int k = 0; k < 3; ++k) {
            int splat = largeSplatFrame(gameRandBelow(3));
            int r1 = gameRandBelow(60);
            int r2 = gameRandBelow(60);
            stampSplat(splat, bx - 55 + r1, by - 40 + r2);
        }
    }
}

void scream() {
    static constexpr Sound screams[4] = {Sound::oof, Sound::fadeScream, Sound::death1,
                                         Sound::death2};
    int r = gameRandBelow(8);
    if (r >= 4) playSound(screams[r - 4]);
}

void creditHit(int i, Actor* climber, int slot) {
    int hits = ++game.ballHits[slot];
    int owner = game.ballOwner[slot];
    emitEvent(EventKind::hit, i, slot, owner, hits);
    if (owner != -1) {
        setScore(owner, game.score[owner] + ballHitPoints(hits));
        if (hits >= 2) {
            Actor* label = game.climberBonusLabel[i];
            label->setAnimation(animations[ballHitLabelRow(hits)]);
            label->setPosition(climber->x() + 25, climber->y() + 50);
            label->setVelocityY(-1.0);
            label->show();
            label->setLifetime(75);
        }
        if (hits == 3) addSmartBomb(owner);
    }
    if (hits == 4 || hits == 6) {
        playSound(gameRandBelow(2) == 0 ? Sound::crowdOhh : Sound::nuclear);
    }
}

bool canBeHitByBall(int state) {
    return state == climberWalking || state == climberResting || state == climberClimbing;
}

void checkBallHits(int i, Actor* climber) {
    for (int slot = 0; slot < ballSlots && canBeHitByBall(game.climberState[i]); ++slot) {
        if (!game.ballActive[slot]) continue;
        Actor* ball = game.ballActor[slot];
        if (!ball->collidesWith(*climber)) continue;
        double v = ball->velocityY();
        climber->stopMotion();
        climber->setVelocityY(v);
        setState(i, climberFalling);
        climber->setAnimation(animations[rowClimberFall]);
        climber->setAccelerationY(0.7);
        // The harder the ball comes down, the higher the splat.
        playSoundAt(Sound::splat, static_cast<int>(v * 200.0 + 8000.0));
        splatter(ball);
        scream();
        // The ball loses its speed in the body but falls on and may take the next one below.
        ball->setVelocityY(0.0);
        creditHit(i, climber, slot);
    }
}

void flingBodyPart(Actor* climber, int row, int yOffset, double vx) {
    int slot = 0;
    while (slot < bodyPartSlots && game.bodyPartActive[slot]) ++slot;
    if (slot == bodyPartSlots) return;
    releaseBodyPart(slot);
    Actor* part = new Actor(animations[row], climber->x(), climber->y() + yOffset, vx, -2.0);
    part->setAccelerationY(0.15);
    part->restartAnimation();
    part->show();
    theStage.addActor(part);
    game.bodyPart[slot] = part;
    game.bodyPartActive[slot] = 1;
    if (row == rowLimbOfStrokeAMirrored || row == rowLimbOfStrokeA) playSound(Sound::wildScream);
}

// What each chainsaw stroke does to the climber it cuts: the row he falls with, and the limb
// that flies off (stroke B takes none, and the climber cries out instead).
struct CutBy {
    int row, mirroredRow;
    int limb, mirroredLimb;  // -1: no limb
    int limbY;
    double limbSpeed;
};
constexpr CutBy cuts[3] = {
    {rowCutByStrokeA, rowCutByStrokeAMirrored, rowLimbOfStrokeA, rowLimbOfStrokeAMirrored, 100,
     1.5},
    {rowCutByStrokeB, rowCutByStrokeBMirrored, -1, -1, 0, 0.0},
    {rowCutByStrokeC, rowCutByStrokeCMirrored, rowLimbOfStrokeC, rowLimbOfStrokeCMirrored, 50,
     2.0},
};

void cut(int i, Actor* climber, int p) {
    int stroke = game.playerState[p];
    if (stroke < playerStrokeA || stroke > playerStrokeC) return;
    emitEvent(EventKind::cut, i, p);
    bool left = game.playerFacing[p] == facingLeft;
    const CutBy& c = cuts[stroke - playerStrokeA];
    climber->stopMotion();
    climber->setAnimation(animations[left ? c.mirroredRow : c.row]);
    setState(i, climberCutDown);
    if (c.limb < 0) playSound(Sound::wildScream2);
    setScore(p, game.score[p] + 500);
    if (c.limb >= 0)
        flingBodyPart(climber, left ? c.mirroredLimb : c.limb, c.limbY,
                      left ? -c.limbSpeed : c.limbSpeed);
}

void checkChainsaws(int i, Actor* climber) {
    int state = game.climberState[i];
    if (state != climberHunting && state != climberStriking) return;
    // Tested once for all players: two blades landing in the same frame both score.
    for (int p = 0; p < game.numPlayers; ++p) {
        if (game.playerActionTimer[p] >= cuttingFrames) continue;
        if (!withinChainsawReach(game.playerActor[p]->x(), game.playerFacing[p], climber->x())) {
            continue;
        }
        cut(i, climber, p);
    }
}

void updateClimber(int i) {
    Actor* climber = game.climberActor[i];
    if (!climber) {
        ++game.climberTimer[i];
        return;
    }
    if (game.climberState[i] == climberWalking) walk(i, climber);
    if (game.climberState[i] == climberResting && game.climberTimer[i] == game.climberRest[i]) {
        climber->setVelocityY(-game.climberSpeed[i]);
        setState(i, climberClimbing);
    }
    if (game.climberState[i] == climberClimbing) climb(i, climber);
    if (game.climberState[i] == climberOverTheTop && game.climberTimer[i] == 33) {
        game.climberState[i] = climberHunting;
        game.climberDir[i] = dirUndecided;
        climber->setPosition(climber->x(), -20);
    }
    if (game.climberState[i] == climberHunting) hunt(i, climber);
    if (game.climberState[i] == climberStriking) strike(i, climber);
    checkBallHits(i, climber);
    if (game.climberState[i] == climberFalling && climber->y() >= 500) {
        climber->stopMotion();
        setState(i, climberFree);
        --game.climbersActive;
    }
    checkChainsaws(i, climber);
    if (game.climberState[i] == climberCutDown && game.climberTimer[i] == 75) {
        climber->hide();
        setState(i, climberFree);
        --game.climbersActive;
    }
    ++game.climberTimer[i];
}

}  // namespace

void updateClimbers() {
    for (int i = 0; i < climberSlots; ++i) updateClimber(i);
}
