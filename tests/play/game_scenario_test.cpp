// Whole games run by the real program, headless, from input scripts.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/screen_run.h"

namespace {

using GameRun = screen_run::Result;

const std::string storedInput = std::string(PARAPET_SOURCE_DIR) + "/tests/data/replay_input.txt";

// How a one-player game picks up, throws and scores is pinned frame by frame by the stored
// replay (replay_test).

TEST(GameScenario, EscapeDuringPlayLeadsThroughTheResultsToTheMenu) {
    // The menu opens at frame 346 (166 black frames, then 180 of title); Start is chosen with
    // player 1's fire button.
    GameRun run = screen_run::run(screen_run::scratchDir(), "400 tap RSHIFT\n700 tap ESCAPE\n",
                                  "--frames 1200");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.states(), (std::vector<int>{20, 15, 30, 40, 50, 60, 70, 80, 90, 15}));
    // Escape is down from frame 700's snapshot on; the next play frame ends the level.
    EXPECT_EQ(run.frameOfState(70), 701);
    EXPECT_EQ(run.frameOfState(80) - run.frameOfState(70), 30);
    EXPECT_EQ(run.frameOfState(15, 2) - run.frameOfState(90), 200);
    EXPECT_TRUE(run.all("score").empty());
    EXPECT_TRUE(run.all("highscore_saved").empty()) << "nothing beaten with no points";
    EXPECT_FALSE(run.soundFrames("s\\Cheer.raw").empty());
}

TEST(GameScenario, ThreePlayersWithThreeJoysticks) {
    // Players goes 1 -> 2 -> 3 with two presses on its line; player 3 has only the third
    // joystick. Player 1 runs to the left zone (160 - 12 x 10 = 40), player 3 to the right
    // one (360 + 18 x 10 = 540).
    std::string script =
        "360 tap DOWN\n"
        "366 tap RSHIFT\n"
        "372 tap RSHIFT\n"
        "378 tap UP\n"
        "384 tap RSHIFT\n"
        "600 key LEFT down\n"
        "600 joy 2 axis x 1024\n"
        "612 key LEFT up\n"
        "618 joy 2 axis x 0\n"
        "640 key RSHIFT down\n"
        "640 joy 2 button 0 down\n";
    GameRun run = screen_run::run(screen_run::scratchDir(), script, "--frames 1500 --joysticks 3");
    ASSERT_EQ(run.exitCode, 0);
    std::set<int> picked;
    for (const auto& p : run.all("pickup")) picked.insert(p.number("player"));
    EXPECT_EQ(picked, (std::set<int>{0, 2}));
    bool thrownRight = false;
    for (const auto& t : run.all("throw"))
        thrownRight |= t.number("player") == 2 && t.number("x") == 577;
    EXPECT_TRUE(thrownRight);
    // The level ends only once all three are dead.
    auto dead = run.all("dead");
    ASSERT_EQ(dead.size(), 3u);
    EXPECT_EQ(run.frameOfState(70), dead.back().frame() + 1);
    EXPECT_NE(run.frameOfState(90), -1);
}

// The score line draws over the picture: a frame of play differs from the default picture
// only where it is drawn. (That the extras never take part in the game: the recorded run of
// the stored game in replay_files_test.)
TEST(Extras, TheScoreLineDrawsOnlyOverTheTopOfThePicture) {
    constexpr int frame = 900;  // in the first level's play
    std::string shots[2];
    for (int on = 0; on < 2; ++on) {
        std::string dir = screen_run::scratchDir(on ? "on" : "off");
        writeText(dir + "/extras.ini", on ? "[extras]\nscore_line = on\n" : "");
        GameRun run = screen_run::run(dir, readText(storedInput),
                                      "--frames " + std::to_string(frame) + " --config " +
                                          screen_run::quoted(dir + "/extras.ini") +
                                          " --screenshot-at " + std::to_string(frame));
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        shots[on] = readText(run.shotDir() + "/frame-" + std::to_string(frame) + ".bmp");
    }
    // 24-bit rows of 640 pixels, bottom row first after the 54-byte header.
    constexpr size_t header = 54, row = 640 * 3, lineRows = 20;
    ASSERT_EQ(shots[0].size(), header + 480 * row);
    ASSERT_EQ(shots[1].size(), shots[0].size());
    size_t lineStart = header + (480 - lineRows) * row;
    EXPECT_EQ(shots[0].substr(0, lineStart), shots[1].substr(0, lineStart));
    EXPECT_NE(shots[0].substr(lineStart), shots[1].substr(lineStart));
}

}  // namespace
