// The extras draw over the picture and never take part in the game: the stored long game
// plays to the very same trace with every extra on, and a frame of play differs from the
// default picture only where the score line is drawn.
#include <gtest/gtest.h>

#include <string>

#include "support/screen_run.h"

namespace {

const std::string dataDir = std::string(PARAPET_SOURCE_DIR) + "/tests/data";

constexpr const char* allExtras =
    "[extras]\nscore_line = on\ngame_over = on\nhighscore_page = on\nname_box = on\n"
    "menu_music = on\nno_blood = on\n";

TEST(Extras, TheStoredGamePlaysTheSameWithEveryExtraOn) {
    std::string dir = screen_run::scratchDir();
    writeText(dir + "/extras.ini", allExtras);
    screen_run::Result run =
        screen_run::run(dir, readText(dataDir + "/replay_input.txt"),
                        "--frames 12000 --config " + screen_run::quoted(dir + "/extras.ini"));
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    // A difference shows as a diff of the two traces.
    EXPECT_EQ(screen_run::withoutPaths(run.traceText()), readText(dataDir + "/replay_trace.jsonl"));
}

TEST(Extras, TheScoreLineDrawsOnlyOverTheTopOfThePicture) {
    constexpr int frame = 900;  // in the first level's play
    std::string shots[2];
    for (int on = 0; on < 2; ++on) {
        std::string dir = screen_run::scratchDir(on ? "on" : "off");
        writeText(dir + "/extras.ini", on ? "[extras]\nscore_line = on\n" : "");
        screen_run::Result run =
            screen_run::run(dir, readText(dataDir + "/replay_input.txt"),
                            "--frames " + std::to_string(frame) + " --config " +
                                screen_run::quoted(dir + "/extras.ini") + " --screenshot-at " +
                                std::to_string(frame));
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
