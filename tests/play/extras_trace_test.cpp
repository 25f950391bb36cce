// The extras draw over the picture and never take part in the game: the stored long game
// plays to the very same trace with every extra on, and a frame of play differs from the
// default picture only where the score line is drawn.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "play/scenario_support.h"

namespace {

const std::filesystem::path dataDir = std::filesystem::path(PARAPET_SOURCE_DIR) / "tests" / "data";

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string withoutPaths(const std::string& trace) {
    std::istringstream in(trace);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        auto at = line.find("\"path\":");
        if (at != std::string::npos) line = line.substr(0, at) + "\"path\":\"\"}";
        out += line + "\n";
    }
    return out;
}

constexpr const char* allExtras =
    "[extras]\nscore_line = on\ngame_over = on\nhighscore_page = on\nname_box = on\n"
    "menu_music = on\nno_blood = on\n";

TEST(Extras, TheStoredGamePlaysTheSameWithEveryExtraOn) {
    auto dir = scenario::freshDir("extras_trace");
    std::ofstream(dir / "extras.ini") << allExtras;
    scenario::Run run = scenario::runGame(dir, readText(dataDir / "replay_input.txt"), 12000,
                                          "--config " + (dir / "extras.ini").string());
    ASSERT_EQ(run.exitCode, 0) << readText(dir / "stdout.txt");
    std::istringstream want(readText(dataDir / "replay_trace.jsonl")),
        got(withoutPaths(run.traceText()));
    for (int line = 1;; ++line) {
        std::string a, b;
        bool more = static_cast<bool>(std::getline(want, a));
        more |= static_cast<bool>(std::getline(got, b));
        if (!more) break;
        ASSERT_EQ(b, a) << "trace line " << line;
    }
}

TEST(Extras, TheScoreLineDrawsOnlyOverTheTopOfThePicture) {
    constexpr int frame = 900;  // in the first level's play
    std::string shots[2];
    for (int on = 0; on < 2; ++on) {
        auto dir = scenario::freshDir(on ? "score_line_on" : "score_line_off");
        std::ofstream(dir / "extras.ini") << (on ? "[extras]\nscore_line = on\n" : "");
        scenario::Run run = scenario::runGame(dir, readText(dataDir / "replay_input.txt"), frame,
                                              "--config " + (dir / "extras.ini").string() +
                                                  " --screenshot-at " + std::to_string(frame));
        ASSERT_EQ(run.exitCode, 0);
        shots[on] = readText(dir / "shots" / ("frame-" + std::to_string(frame) + ".bmp"));
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
