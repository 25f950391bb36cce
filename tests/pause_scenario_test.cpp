// A paused game is the same game, later: the recorded replay's opening (play from frame 559)
// with play paused by P at frame 700 and resumed by a controller's Start at frame 800.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/screen_run.h"

namespace {

constexpr int pauseAt = 700, held = 100, frames = 1500;

// The replay's commands up to frame 1400, those after pauseAt moved `shift` frames later.
std::string opening(int shift, std::vector<std::pair<int, std::string>> extra) {
    std::ifstream in(std::string(PARAPET_SOURCE_DIR) + "/tests/data/replay_input.txt");
    std::string line, out;
    int frame;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        if (line[0] == '#' || !(words >> frame) || frame > frames - 100) continue;
        std::getline(words, line);
        extra.emplace_back(frame > pauseAt ? frame + shift : frame, line);
    }
    std::stable_sort(extra.begin(), extra.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [at, command] : extra) out += std::to_string(at) + command + "\n";
    return out;
}

}  // namespace

TEST(Pause, PausedRunIsTheSameRunLater) {
    auto plain = screen_run::run(screen_run::scratchDir("plain"), opening(0, {}),
                                 "--joysticks 1 --frames " + std::to_string(frames));
    // P in the menu (frame 360) pauses nothing.
    auto paused = screen_run::run(screen_run::scratchDir("paused"),
                                  opening(held, {{360, " tap P"},
                                                 {pauseAt, " tap P"},
                                                 {pauseAt + held, " joy 0 button 6 down"},
                                                 {pauseAt + held + 2, " joy 0 button 6 up"}}),
                                  "--joysticks 1 --frames " + std::to_string(frames + held));
    ASSERT_EQ(plain.exitCode + paused.exitCode, 0) << plain.errors << paused.errors;
    ASSERT_EQ(plain.stateChange(50, 60), 559) << "the opening no longer reaches play";

    std::vector<screen_run::Event> shifted, toggles;
    for (screen_run::Event e : paused.events) {
        if (e["event"] == "pause" || e["event"] == "resume") {
            toggles.push_back(e);
            continue;
        }
        EXPECT_FALSE(e.frame() > pauseAt && e.frame() <= pauseAt + held) << e["event"];
        if (e.frame() > pauseAt) e.fields["frame"] = std::to_string(e.frame() - held);
        shifted.push_back(e);
    }
    ASSERT_EQ(toggles.size(), 2u);
    EXPECT_EQ(toggles[0]["event"] + std::to_string(toggles[0].frame()), "pause701");
    EXPECT_EQ(toggles[1]["event"] + std::to_string(toggles[1].frame()), "resume801");
    ASSERT_EQ(shifted.size(), plain.events.size());
    for (size_t i = 0; i < shifted.size(); ++i)
        ASSERT_EQ(shifted[i].fields, plain.events[i].fields) << "event " << i;
}
