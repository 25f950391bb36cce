// The replay regression: a long one-player game (several games in a row, thousands of frames,
// many hits, smart bombs, name entry) stored as an input script with the trace it produced.
// Any change in behaviour shows as a difference in the trace.
//
// To re-record on purpose (after a deliberate change of the rules, the pictures or the timing):
//     PARAPET_RERECORD=1 ./build/parapet_tests --gtest_filter='Replay.*'
// This plays the game in-process with the game's own autopilot at the controls (starting each
// game from the menu and taking the name after a record), writes the keys it pressed
// as tests/data/replay_input.txt, checks that the program replays that script to the very
// same trace, and stores the trace as tests/data/replay_trace.jsonl. Review the diff before
// committing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/paths.h"
#include "base/trace.h"
#include "platform/headless/headless_platform.h"
#include "program/game_run.h"
#include "program/options.h"
#include "recording/autopilot.h"
#include "rules/game_state.h"
#include "support/screen_run.h"
#include "world/world.h"

namespace {

constexpr int replayFrames = 12000;

const std::filesystem::path dataDir = std::filesystem::path(PARAPET_SOURCE_DIR) / "tests" / "data";

// The autopilot's games, played in this process on the headless devices; returns the trace.
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
    Autopilot autopilot(true);
    RunInput input;
    input.source = &autopilot;
    script = "# Recorded from the autopilot (tests/play/replay_test.cpp).\n";
    input.onFrameInput = [&script](int, const std::vector<InputCommand>& commands) {
        for (const InputCommand& c : commands) script += formatInputCommand(c) + "\n";
    };
    resetWorld();
    runGame(options, platform, &devices, nullptr, input);
    return readText(tracePath);
}

TEST(Replay, StoredGameReplaysToTheStoredTrace) {
    if (std::getenv("PARAPET_RERECORD") != nullptr) {
        std::filesystem::path dir = screen_run::scratchDir("_record");
        std::string script;
        std::string botTrace = playBotGame(dir, script);
        std::ofstream(dataDir / "replay_input.txt") << script;
        std::ofstream(dataDir / "replay_trace.jsonl") << screen_run::withoutPaths(botTrace);
    }
    ASSERT_TRUE(std::filesystem::exists(dataDir / "replay_input.txt"));
    std::string script = readText(dataDir / "replay_input.txt");
    screen_run::Result run = screen_run::run(screen_run::scratchDir(), script,
                                             "--frames " + std::to_string(replayFrames));
    ASSERT_EQ(run.exitCode, 0);
    std::istringstream want(readText(dataDir / "replay_trace.jsonl")),
        got(screen_run::withoutPaths(run.traceText()));
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
