#include "recording/autopilot.h"

#include <cstdlib>

#include "actors/actor.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"

namespace {

constexpr int noTarget = -9999;
constexpr int leftSupplyX = 38;
constexpr int rightSupplyX = 537;
constexpr int crowdedTopY = 260;  // climbers above this line are near the top
constexpr int playerMinX = -20;
constexpr int playerMaxX = 570;

bool onWall(int i) {
    int s = game.climberState[i];
    return s == climberResting || s == climberClimbing;
}

bool onTop(int i) {
    int s = game.climberState[i];
    return s == climberOverTheTop || s == climberHunting || s == climberStriking;
}

}  // namespace

void Autopilot::commandsFor(int frame, std::vector<InputCommand>& out) {
    Wanted want = decide();
    auto set = [&](int code, bool down) {
        if (down_[code] == down) return;
        down_[code] = down;
        out.push_back(keyCommand(frame, code, down));
    };
    set(keyLeft, want.left);
    set(keyRight, want.right);
    set(keyFire, want.fire);
    set(keyChainsaw, want.chainsaw);
    set(keyBomb, want.bomb);
}

Autopilot::Wanted Autopilot::decide() {
    Wanted want;
    if (playsScreens_ && game.gameState == stateMenu) {
        // Start, with the fire button held a few frames.
        want.fire = game.stateFrame >= 30 && game.stateFrame < 34;
        return want;
    }
    if (playsScreens_ && game.gameState == stateNameEntry) {
        want.bomb = game.stateFrame >= 20 && game.stateFrame < 23;  // Return takes the name
        return want;
    }
    if (game.gameState != statePlay || game.playerActor[0] == nullptr) return want;
    return decideInPlay();
}

Autopilot::Wanted Autopilot::decideInPlay() {
    Wanted want;
    int state = game.playerState[0];
    // Catching the saw needs the player to stay under it.
    if (state == playerDying || state == playerDead || state == playerCatchingChainsaw) return want;
    Actor* me = game.playerActor[0];
    // Where the player will be when the keys take effect, two frames on.
    int x = me->x() + static_cast<int>(me->velocityX() * 2);

    int nearTop = 0, hunter = -1, hunterDistance = 100000;
    for (int i = 0; i < climberSlots; ++i) {
        if (onWall(i) && game.climberActor[i]->y() < crowdedTopY) ++nearTop;
        if (onTop(i)) {
            int distance = std::abs(game.climberActor[i]->x() - me->x());
            if (distance < hunterDistance) {
                hunterDistance = distance;
                hunter = i;
            }
        }
    }
    if (nearTop >= 2 && game.smartBombs[0] > 0) want.bomb = true;

    int weapon = game.playerWeapon[0];
    if (weapon == weaponChainsaw) {
        // With nobody on top the saw is put away (a fresh press), so balls can be fetched.
        if (hunter < 0) {
            want.chainsaw = state == playerStanding && !down_[keyChainsaw];
            return want;
        }
        int cx = game.climberActor[hunter]->x();
        int facing = game.playerFacing[0];
        if (withinChainsawReach(me->x(), facing, cx)) {
            want.fire = true;
        } else if (cx < me->x()) {
            want.left = true;
        } else {
            want.right = true;
        }
        return want;
    }
    // A climber over the top: call the chainsaw while it is there for the taking.
    if (hunter >= 0 && game.chainsawAvailable[0] && weapon == weaponEmpty) {
        want.chainsaw = state == playerStanding && !down_[keyChainsaw];
        return want;
    }

    int goal;
    bool throwHere = false;
    if (weapon == weaponEmpty) {
        // One ready supply decides; with both or neither, the nearer side.
        bool left =
            game.leftSupplyReady != game.rightSupplyReady ? game.leftSupplyReady != 0 : x < 290;
        goal = left ? leftSupplyX : rightSupplyX;
    } else {
        goal = ballTarget();
        throwHere = goal != noTarget;
        if (!throwHere) goal = me->x();
    }
    int dx = goal - x;
    if (dx < -4) {
        want.left = true;
    } else if (dx > 4) {
        want.right = true;
    } else if (throwHere && game.throwCountdown[0] == -1) {
        want.fire = true;
    }
    return want;
}

// The player's x that drops the ball onto the middle of the climber highest on the wall, or
// onto the spot a walking one is heading for when nobody climbs yet.
int Autopilot::ballTarget() const {
    int best = -1, bestY = 100000;
    for (int i = 0; i < climberSlots; ++i) {
        int y;
        if (onWall(i)) {
            y = game.climberActor[i]->y();
        } else if (game.climberState[i] == climberWalking) {
            y = 1000 + i;
        } else {
            continue;
        }
        if (y < bestY) {
            bestY = y;
            best = i;
        }
    }
    if (best < 0) return noTarget;
    int cx = game.climberState[best] == climberWalking ? game.climberTargetX[best]
                                                       : game.climberActor[best]->x();
    int goal = cx + 6;
    return goal < playerMinX ? playerMinX : goal > playerMaxX ? playerMaxX : goal;
}
