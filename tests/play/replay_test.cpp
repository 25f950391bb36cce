// The replay regression: a long one-player game (several games in a row, thousands of frames,
// many hits, smart bombs, name entry) stored as an input script with the trace it produced.
// Any change in behaviour shows as a difference in the trace.
//
// To re-record on purpose (after a deliberate change of the rules, the pictures or the timing):
//     PARAPET_RERECORD=1 ./build/parapet_tests --gtest_filter='Replay.*'
// This plays the game in-process with a simple bot at the controls, writes the keys it pressed
// as tests/data/replay_input.txt, checks that the program replays that script to the very
// same trace, and stores the trace as tests/data/replay_trace.jsonl. Review the diff before
// committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "engine/engine.h"
#include "game/game_state.h"
#include "game/play_rules.h"
#include "platform/headless/headless_platform.h"
#include "play/scenario_support.h"
#include "shell/game_run.h"
#include "shell/options.h"
#include "shell/paths.h"
#include "shell/trace.h"

namespace {

constexpr int replayFrames = 12000;

const std::filesystem::path dataDir = std::filesystem::path(PARAPET_SOURCE_DIR) / "tests" / "data";

// The trace without what depends on the machine: file paths.
std::string normalised(const std::string& trace) {
    std::istringstream in(trace);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        auto at = line.find("\"path\":");
        if (at != std::string::npos) line = line.substr(0, at) + "\"path\":\"\"}";
        out += line + "\n";
    }
    return out;
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Player 1 as a patient beginner: fetches a ball from the nearer ready supply, carries it over
// the climber highest on the wall (or the spot a walking one is heading for), throws, fires a
// smart bomb when the wall gets crowded, and starts a new game from the menu when he dies.
class BotKeyboard : public KeyboardDevice {
public:
    bool read(uint8_t state[256]) override {
        int frame = theEngine != nullptr ? theEngine->framesCompleted() + 1 : 0;
        std::map<int, bool> want = decide();
        std::fill(state, state + 256, 0);
        for (int key : {keyLeft, keyRight, keyFire, keyBomb, keyEnter}) {
            bool down = want.count(key) != 0 && want[key];
            if (down != down_[key] && frame > 0) {
                script_ << frame << " key " << key << (down ? " down" : " up") << "\n";
                down_[key] = down;
            }
            state[key] = down_[key] ? 0x80 : 0x00;
        }
        return true;
    }
    std::string script() const { return script_.str(); }

private:
    static constexpr int keyLeft = 203;
    static constexpr int keyRight = 205;
    static constexpr int keyFire = 54;
    static constexpr int keyBomb = 28;  // Return: smart bomb in play, accepts a name
    static constexpr int keyEnter = 28;

    std::map<int, bool> decide() {
        std::map<int, bool> keys;
        if (game.gameState == stateMenu) {
            // Start, with the fire button held a few frames.
            if (game.stateFrame >= 30 && game.stateFrame < 34) keys[keyFire] = true;
            return keys;
        }
        if (game.gameState == stateNameEntry) {
            if (game.stateFrame >= 20 && game.stateFrame < 23) keys[keyEnter] = true;
            return keys;
        }
        if (game.gameState != statePlay || game.playerActor[0] == nullptr) return keys;
        int state = game.playerState[0];
        if (state == playerDying || state == playerDead) return keys;
        Actor* me = game.playerActor[0];
        // Where the player will be when the keys take effect, two frames on.
        int x = me->x() + static_cast<int>(me->velocityX() * 2);

        int onWall = 0;
        for (int i = 0; i < climberSlots; ++i) {
            int s = game.climberState[i];
            if ((s == climberResting || s == climberClimbing) && game.climberActor[i]->y() < 260)
                ++onWall;
        }
        if (onWall >= 2 && game.smartBombs[0] > 0) keys[keyBomb] = true;

        int goal;
        bool throwHere = false;
        if (game.playerWeapon[0] == weaponEmpty) {
            // One ready supply decides; with both or neither, the nearer side.
            bool left = game.leftSupplyReady != game.rightSupplyReady ? game.leftSupplyReady : x < 290;
            goal = left ? 38 : 537;
        } else if (game.playerWeapon[0] == weaponBall) {
            goal = targetX();
            throwHere = goal != noTarget;
            if (!throwHere) goal = me->x();
        } else {
            return keys;
        }
        int dx = goal - x;
        if (dx < -4) {
            keys[keyLeft] = true;
        } else if (dx > 4) {
            keys[keyRight] = true;
        } else if (throwHere && game.throwCountdown[0] == -1) {
            keys[keyFire] = true;
        }
        return keys;
    }

    static constexpr int noTarget = -9999;

    // The player's x that drops the ball onto the middle of the best climber.
    int targetX() const {
        int best = -1, bestY = 100000;
        for (int i = 0; i < climberSlots; ++i) {
            int s = game.climberState[i];
            int y;
            if (s == climberResting || s == climberClimbing) {
                y = game.climberActor[i]->y();
            } else if (s == climberWalking) {
                y = 1000 + i;  // only when nobody climbs yet
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
        return goal < -20 ? -20 : goal > 570 ? 570 : goal;
    }

    std::ostringstream script_;
    std::map<int, bool> down_;
};

// The bot's game, played in this process on the headless devices; returns the trace.
std::string playBotGame(const std::filesystem::path& dir, std::string& script) {
    Options options;
    options.headless = true;
    options.frames = replayFrames;
    paths().dataDir = options.dataDir = PARAPET_DATA_DIR;
    paths().saveDir = options.saveDir = (dir / "save").string();
    paths().screenshotDir = options.screenshotDir = (dir / "shots").string();
    std::string tracePath = (dir / "bot_trace.jsonl").string();
    openTrace(tracePath.c_str());

    Platform platform;
    HeadlessDevices devices = createHeadlessPlatform(HeadlessSettings{}, platform);
    devices.keyboard = nullptr;  // replaced by the bot
    auto* botKeys = new BotKeyboard();
    platform.keyboard.reset(botKeys);
    game = GameState{};
    runGame(options, platform, &devices, nullptr);
    script =
        "# Recorded by the replay bot (tests/play/replay_test.cpp); keys by DirectInput code.\n" +
        botKeys->script();
    return readText(tracePath);
}

TEST(Replay, StoredGameReplaysToTheStoredTrace) {
    if (std::getenv("PARAPET_RERECORD") != nullptr) {
        auto dir = scenario::freshDir("replay_record");
        std::string script;
        std::string botTrace = playBotGame(dir, script);
        std::ofstream(dataDir / "replay_input.txt") << script;
        std::ofstream(dataDir / "replay_trace.jsonl") << normalised(botTrace);
    }
    ASSERT_TRUE(std::filesystem::exists(dataDir / "replay_input.txt"));
    auto dir = scenario::freshDir("replay");
    std::string script = readText(dataDir / "replay_input.txt");
    scenario::Run run = scenario::runGame(dir, script, replayFrames);
    ASSERT_EQ(run.exitCode, 0);
    std::istringstream want(readText(dataDir / "replay_trace.jsonl")), got(normalised(run.traceText()));
    // Compare line by line so a failure names the first frame that differs.
    for (int line = 1;; ++line) {
        std::string a, b;  // fresh, so a trace that ends early shows as an empty line
        bool moreWant = static_cast<bool>(std::getline(want, a));
        bool moreGot = static_cast<bool>(std::getline(got, b));
        if (!moreWant && !moreGot) break;
        ASSERT_EQ(b, a) << "first difference at trace line " << line;
    }
}

TEST(Replay, TheStoredGameIsLongAndEventful) {
    std::string trace = readText(dataDir / "replay_trace.jsonl");
    std::istringstream in(trace);
    int hits = 0, levels = 0, games = 0, bombs = 0, last = 0;
    for (std::string line; std::getline(in, line);) {
        hits += line.find("\"event\":\"hit\"") != std::string::npos;
        levels += line.find("\"to\":50") != std::string::npos;
        games += line.find("\"to\":30") != std::string::npos;
        bombs += line.find("s\\\\stahl.raw") != std::string::npos;
        if (line.find("\"event\":\"end\"") != std::string::npos) last = std::stoi(line.substr(9));
    }
    EXPECT_EQ(last, replayFrames);
    EXPECT_GE(hits, 20);
    EXPECT_GE(levels, games + 1) << "at least one level won";
    EXPECT_GE(bombs, 1);
}

}  // namespace
