// Whole games run by the real program, headless, from input scripts.
#include <gtest/gtest.h>

#include <algorithm>

#include "play/scenario_support.h"

namespace {

using GameRun = scenario::Run;

// The menu opens at frame 346 (166 black frames, then 180 of title); Start is chosen with
// player 1's fire button.
const char* const startOnePlayer = "400 tap RSHIFT\n";

// From x 260 the empty-handed player runs 10 pixels a frame: 22 frames of running bring him
// to x 40, inside the left pick-up zone. Holding fire then throws every ball he picks up.
const char* const throwFromTheLeftZone =
    "600 key LEFT down\n"
    "622 key LEFT up\n"
    "640 key RSHIFT down\n";

std::vector<int> expectedOpening() { return {20, 15, 30, 40, 50, 60}; }

TEST(GameScenario, OnePlayerPicksUpThrowsAndScores) {
    auto dir = scenario::freshDir("one_player");
    GameRun run = scenario::runGame(dir, std::string(startOnePlayer) + throwFromTheLeftZone, 2500);
    ASSERT_EQ(run.exitCode, 0) << run.traceText();
    std::vector<int> states = run.states();
    ASSERT_GE(states.size(), 6u);
    EXPECT_EQ(std::vector<int>(states.begin(), states.begin() + 6), expectedOpening());

    auto pickups = run.all("pickup");
    auto throws = run.all("throw");
    auto hits = run.all("hit");
    ASSERT_FALSE(pickups.empty());
    ASSERT_FALSE(throws.empty());
    ASSERT_FALSE(hits.empty()) << run.traceText();
    EXPECT_EQ(pickups[0].field("side"), "left");
    EXPECT_LT(pickups[0].frame, throws[0].frame);
    EXPECT_EQ(throws[0].number("x"), 77) << "the ball leaves 37 pixels right of the player";
    // The wind-up takes the frames between pick-up (fire is held) and release.
    EXPECT_EQ(throws[0].frame - pickups[0].frame, 7);
    EXPECT_EQ(hits[0].number("owner"), 0);

    auto scores = run.all("score");
    ASSERT_FALSE(scores.empty());
    EXPECT_EQ(scores[0].frame, hits[0].frame);
    EXPECT_EQ(scores[0].number("player"), 0);
    EXPECT_EQ(scores[0].number("score"), 100);
    for (const auto& s : run.all("sound")) {
        if (s.field("file") == "s\\splat3.raw" && s.frame == hits[0].frame) {
            EXPECT_GE(s.number("hz"), 8000) << "the splat's pitch follows the ball's speed";
        }
    }
}

TEST(GameScenario, EscapeDuringPlayLeadsThroughTheResultsToTheMenu) {
    auto dir = scenario::freshDir("escape");
    GameRun run = scenario::runGame(dir, std::string(startOnePlayer) + "700 tap ESCAPE\n", 1200);
    ASSERT_EQ(run.exitCode, 0);
    std::vector<int> expected = expectedOpening();
    for (int s : {70, 80, 90, 15}) expected.push_back(s);
    EXPECT_EQ(run.states(), expected);
    // Escape is down from frame 700's snapshot on; the next play frame ends the level.
    EXPECT_EQ(run.frameOfState(70), 701);
    EXPECT_EQ(run.frameOfState(80) - run.frameOfState(70), 30);
    EXPECT_EQ(run.frameOfState(15, 2) - run.frameOfState(90), 200);
    EXPECT_TRUE(run.all("score").empty());
    EXPECT_TRUE(run.all("highscore_saved").empty()) << "nothing beaten with no points";
    bool cheered = false;
    for (const auto& s : run.all("sound")) cheered |= s.field("file") == "s\\Cheer.raw";
    EXPECT_TRUE(cheered);
}

TEST(GameScenario, ThreePlayersWithThreeJoysticks) {
    auto dir = scenario::freshDir("three_players");
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
    GameRun run = scenario::runGame(dir, script, 1500, "--joysticks 3");
    ASSERT_EQ(run.exitCode, 0);
    bool picked[3] = {};
    for (const auto& p : run.all("pickup")) picked[p.number("player")] = true;
    EXPECT_TRUE(picked[0]);
    EXPECT_FALSE(picked[1]);
    EXPECT_TRUE(picked[2]);
    bool thrownRight = false;
    for (const auto& t : run.all("throw"))
        thrownRight |= t.number("player") == 2 && t.number("x") == 577;
    EXPECT_TRUE(thrownRight);
    // The level ends only once all three are dead.
    auto dead = run.all("dead");
    ASSERT_EQ(dead.size(), 3u);
    EXPECT_EQ(run.frameOfState(70), dead.back().frame + 1);
    std::vector<int> states = run.states();
    EXPECT_NE(std::find(states.begin(), states.end(), 90), states.end());
}

}  // namespace
