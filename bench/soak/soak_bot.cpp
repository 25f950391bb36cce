#include "soak_bot.h"

#include <algorithm>

#include "actors/actor.h"
#include "base/paths.h"
#include "engine/engine.h"
#include "platform/headless/headless_platform.h"
#include "platform/platform.h"
#include "program/game_run.h"
#include "program/options.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"

namespace {
constexpr int keyLeft = 203, keyRight = 205, keyFire = 54, keyReturn = 28;
constexpr int noTarget = -9999;
}  // namespace

bool SoakBot::read(uint8_t state[256]) {
    std::fill(state, state + 256, 0);
    if (theEngine == nullptr) return true;
    if (onFrame) onFrame(game.frame);
    auto press = [&](int key) { state[key] = 0x80; };
    const int f = game.stateFrame;
    if (game.gameState == stateMenu) {
        if (f >= 30 && f < 34) press(keyFire);
        return true;
    }
    if (game.gameState == stateNameEntry) {
        if (f >= 20 && f < 23) press(keyReturn);
        return true;
    }
    Actor* me = game.playerActor[0];
    if (game.gameState != statePlay || me == nullptr) return true;
    if (game.playerState[0] == playerDying || game.playerState[0] == playerDead) return true;

    int high = 0;
    for (int i = 0; i < climberSlots; ++i) {
        int s = game.climberState[i];
        if ((s == climberResting || s == climberClimbing) && game.climberActor[i]->y() < 260)
            ++high;
    }
    if (high >= 2 && game.smartBombs[0] > 0) press(keyReturn);

    // Where the player will be when the keys take effect, two frames on.
    const int x = me->x() + static_cast<int>(me->velocityX() * 2);
    bool throwHere = false;
    const int goal = goalX(x, throwHere);
    if (goal == noTarget) return true;
    if (goal - x < -4)
        press(keyLeft);
    else if (goal - x > 4)
        press(keyRight);
    else if (throwHere && game.throwCountdown[0] == -1)
        press(keyFire);
    return true;
}

int SoakBot::goalX(int x, bool& throwHere) const {
    if (game.playerWeapon[0] == weaponEmpty) {
        bool left = game.leftSupplyReady != game.rightSupplyReady ? game.leftSupplyReady : x < 290;
        return left ? 38 : 537;
    }
    if (game.playerWeapon[0] != weaponBall) return noTarget;
    // Over the climber highest on the wall, or where a walking one will start to climb.
    int best = -1, bestY = 100000;
    for (int i = 0; i < climberSlots; ++i) {
        int s = game.climberState[i], y;
        if (s == climberResting || s == climberClimbing)
            y = game.climberActor[i]->y();
        else if (s == climberWalking)
            y = 1000 + i;
        else
            continue;
        if (y < bestY) bestY = y, best = i;
    }
    if (best < 0) return game.playerActor[0]->x();
    throwHere = true;
    int cx = game.climberState[best] == climberWalking ? game.climberTargetX[best]
                                                       : game.climberActor[best]->x();
    return std::clamp(cx + 6, -20, 570);
}

int playSoakGame(SoakBot& bot, int frames, const char* dataDir, const char* saveDir) {
    Options options;
    options.headless = true;
    options.frames = frames;
    options.keepReplays = false;
    paths().dataDir = options.dataDir = dataDir;
    paths().saveDir = options.saveDir = saveDir;
    paths().screenshotDir = options.screenshotDir = std::string(saveDir) + "/shots";
    Platform platform;
    HeadlessDevices devices = createHeadlessPlatform(HeadlessSettings{}, platform);
    devices.keyboard = nullptr;  // the bot's keys instead
    platform.keyboard.reset(&bot);
    game = GameState{};
    int code = runGame(options, platform, &devices, nullptr);
    platform.keyboard.release();  // the caller owns the bot
    return code;
}
