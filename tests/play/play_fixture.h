#pragma once
// A real engine on a headless display with the generated sprite sheets, a silent but traced
// sound layer and a fresh game state for every test: the play rules run exactly as in the game.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "engine/animation.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
#include "game/game_flow.h"
#include "game/game_rand.h"
#include "game/game_state.h"
#include "game/play_rules.h"
#include "input/default_bindings.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"
#include "shell/paths.h"
#include "shell/trace.h"
#include "sound/sound.h"
#include "support/screen_run.h"

class PlayField : public ::testing::Test {
protected:
    // DirectInput codes of the keys the tests press.
    static constexpr int keyLeft = 203;
    static constexpr int keyRight = 205;
    static constexpr int keyFire = 54;       // right Shift: player 1's button 0
    static constexpr int keyChainsaw = 157;  // right Ctrl: button 1

    void SetUp() override {
        paths().dataDir = PARAPET_DATA_DIR;
        // Another test may have rebuilt the shared animations on an engine of its own.
        if (engine == nullptr || animations[5] == nullptr ||
            animations[5]->frame(0)->engine() != engine) {
            makeEngine();
        }
        theEngine = engine;
        while (engine->actorCount() > 0) engine->removeActor(engine->actorAt(0));
        levelText->detach();
        levelText->addTreeTo(engine);
        for (int k = 0; k < 256; ++k) keyboard->setKey(k, false);
        settleControls();

        setUpSound();
        game = GameState{};
        gameSrand(12345);
        tracePath = ::testing::TempDir() + "play_trace_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".jsonl";
        openTrace(tracePath.c_str());
    }

    void TearDown() override {
        closeTrace();
        std::remove(tracePath.c_str());
    }

    // A new game of n players as "Start" in the menu makes it.
    void newGame(int players) {
        game.numPlayers = players;
        game.levelIndex = 0;
        game.climbersPerLevel = 10;
        game.deadPlayers = 0;
        setGameState(stateNewGame, true);
        setGameState(stateSetup, false);
        startGame();
    }

    // Straight into play, with the level intro skipped over.
    void newGameInPlay(int players) {
        newGame(players);
        game.stateFrame = 180;
        setGameState(statePlay, false);
    }

    // One whole frame as the main loop runs it.
    void frame() {
        updateGame();
        updatePlayerControls();
        engine->runFrame();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }

    // Keys reach the player controls one engine frame late; this lets them through without
    // running any game logic.
    void settleControls() {
        engine->runFrame();
        engine->runFrame();
    }
    void key(int code, bool down) { keyboard->setKey(code, down); }

    // A climber put straight into a state at a place, as if it had got there itself.
    Actor* placeClimber(int slot, int state, int x, int y) {
        game.climberState[slot] = climberFree;
        for (int i = 0; i < climberSlots; ++i) {
            if (i != slot && game.climberState[i] == climberFree) game.climberState[i] = 99;
        }
        game.climbersToSpawn = 1;
        spawnClimber();
        for (int i = 0; i < climberSlots; ++i) {
            if (game.climberState[i] == 99) game.climberState[i] = climberFree;
        }
        Actor* c = game.climberActor[slot];
        c->stopMotion();
        c->setPosition(x, y);
        game.climberState[slot] = state;
        game.climberTimer[slot] = 0;
        if (state == climberResting) {
            c->setAnimation(animations[17]);
            game.climberRest[slot] = 100000;  // rests for the whole test
        }
        return c;
    }

    // A new one-player game with player 1 at x 300 in a chainsaw stroke with framesLeft to go,
    // and a climber standing at climberX on the wall top.
    void setUpStroke(int stroke, int facing, int framesLeft, int climberX) {
        game = GameState{};
        newGameInPlay(1);
        game.playerActor[0]->setX(300);
        game.playerWeapon[0] = weaponChainsaw;
        game.playerState[0] = stroke;
        game.playerFacing[0] = facing;
        game.playerActionTimer[0] = framesLeft;
        placeClimber(0, climberHunting, climberX, -20);
        game.climberDir[0] = dirLeft;  // keeps it from turning round this frame
        game.climberActor[0]->setVelocityX(0.0);
    }

    // A ball falling from (x, y) as thrown by owner (-1: a smart-bomb ball).
    Actor* dropBall(int slot, int owner, int x, int y) {
        Actor* b = game.ballActor[slot];
        b->stopMotion();
        b->setPosition(x, y);
        b->setAccelerationY(0.7);
        b->show();
        game.ballActive[slot] = 1;
        game.ballOwner[slot] = owner;
        game.ballHits[slot] = 0;
        return b;
    }

    screen_run::Result traced() const {
        std::stringstream text;
        text << std::ifstream(tracePath).rdbuf();
        screen_run::Result r;
        r.events = screen_run::parseTrace(text.str());
        return r;
    }
    std::vector<int> tracedScores(int player) const {
        std::vector<int> scores;
        for (const auto& e : traced().all("score"))
            if (e["player"] == std::to_string(player)) scores.push_back(std::stoi(e["score"]));
        return scores;
    }
    // How often a sound operation ("play", "loop", "stop") was traced for a file.
    int soundCount(const char* op, const std::string& file) const {
        int n = 0;
        for (const auto& e : traced().all("sound")) n += e["op"] == op && e["file"] == file;
        return n;
    }

    static Engine* engine;
    static ScriptedKeyboard* keyboard;
    std::string tracePath;

private:
    static void makeEngine() {
        // Kept for the whole run: the animations built on it are shared program-wide.
        static RecordingAudio unusedAudio;
        (void)unusedAudio;
        auto* display = new HeadlessDisplay(640, 480);
        keyboard = new ScriptedKeyboard();
        engine = new Engine(display, keyboard, nullptr, 640, 480, 16);
        theEngine = engine;
        bindDefaultKeys(*engine);
        levelText = nullptr;
        buildAnimations();
    }

    // Sounds are not loaded (no data is read) but every play, loop and stop is traced.
    static void setUpSound() {
        static RecordingAudio audio;
        closeSound();
        static bool made = false;
        if (!made) {
            for (int i = 0; i < effectCount; ++i) {
                effects[i] = new SoundSample(effectFiles[i].file, effectFiles[i].rate, 8, 1);
            }
            char name[12] = "m\\mus01.raw";
            for (int i = 0; i < musicTrackCount; ++i) {
                name[6] = static_cast<char>('1' + i);
                musicTrack[i] = new SoundSample(name, 22050, 8, 1);
            }
            made = true;
        }
        initSound(&audio, 8, 22050);
    }
};

inline Engine* PlayField::engine = nullptr;
inline ScriptedKeyboard* PlayField::keyboard = nullptr;
