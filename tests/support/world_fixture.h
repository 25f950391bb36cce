#pragma once
// A fresh world for every test, on the game's real sprite sheets and animations (built once for
// the whole test program on a headless engine): the rules run exactly as in the game. Keys
// reach the world as they reach it in the game, through the default bindings, so the players'
// controls follow the keys one frame late.
#include <gtest/gtest.h>

#include <vector>

#include "engine/engine.h"
#include "input/input_reader.h"
#include "platform/headless/headless_platform.h"
#include "support/screen_run.h"
#include "world/world.h"

class WorldFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // One frame as the game runs it, with the keys held now.
    void frame();
    void frames(int n);
    // Only the stage's part of a frame (scrolling lines, delayed sounds, actors' moves).
    void stageFrame();
    void key(int code, bool down) { keyboard_.setKey(code, down); }
    // Lets the keys held now reach the players' controls, with no game logic.
    void settleControls() {
        stageFrame();
        stageFrame();
    }
    // The events stepped since the test began, as the trace would show them.
    screen_run::Result traced() const;
    // How often a sound operation ("play", "loop", "stop") went out for a file.
    int soundCount(const char* op, const std::string& file) const;

    static Engine& engine();
    std::vector<GameEvent> events;
    int padsAnswering = 0;  // game controllers the input says are there (the menu's offer)

private:
    ScriptedKeyboard keyboard_;
    InputReader reader_{&keyboard_, nullptr};
    StepOutput out_;
};
