// Pausing whole headless runs: a paused game is the same game, later.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/screen_run.h"

using screen_run::Event;
using screen_run::Result;

namespace {

// The start of the recorded replay game (play begins at frame 559 and goes on past 1400),
// its commands after shiftFrom moved `shift` frames later, and `extra` commands in their place.
std::string replayOpening(int lastFrame, int shiftFrom, int shift,
                          std::vector<std::pair<int, std::string>> extra = {}) {
    std::ifstream in(std::string(PARAPET_SOURCE_DIR) + "/tests/data/replay_input.txt");
    std::string line, out;
    std::vector<std::pair<int, std::string>> lines;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        int frame = 0;
        std::string rest;
        words >> frame;
        std::getline(words, rest);
        if (frame > lastFrame) break;
        if (frame > shiftFrom) frame += shift;
        lines.emplace_back(frame, rest);
    }
    lines.insert(lines.end(), extra.begin(), extra.end());
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [frame, rest] : lines) out += std::to_string(frame) + rest + "\n";
    return out;
}

}  // namespace

TEST(Pause, PausedRunIsTheSameRunLater) {
    constexpr int pauseAt = 700, resumeAt = 800, frames = 1500;
    constexpr int held = resumeAt - pauseAt;
    Result plain = screen_run::run(screen_run::scratchDir("_plain"),
                                   replayOpening(frames - 100, pauseAt, 0),
                                   "--joysticks 1 --frames " + std::to_string(frames));
    // P in the menu does nothing; P pauses play and the controller's Start resumes it.
    std::string script = replayOpening(frames - 100, pauseAt, held,
                                       {{360, " tap P"},
                                        {pauseAt, " tap P"},
                                        {resumeAt, " joy 0 button 6 down"},
                                        {resumeAt + 2, " joy 0 button 6 up"}});
    Result paused = screen_run::run(screen_run::scratchDir("_paused"), script,
                                    "--joysticks 1 --frames " + std::to_string(frames + held));
    ASSERT_EQ(plain.exitCode, 0) << plain.errors;
    ASSERT_EQ(paused.exitCode, 0) << paused.errors;
    ASSERT_EQ(plain.stateChange(50, 60), 559) << "the opening no longer reaches play";

    std::vector<Event> pauses = paused.all("pause"), resumes = paused.all("resume");
    ASSERT_EQ(pauses.size(), 1u) << "P in the menu paused, or P in play did not";
    ASSERT_EQ(resumes.size(), 1u);
    EXPECT_EQ(pauses[0].frame(), pauseAt + 1);
    EXPECT_EQ(resumes[0].frame(), resumeAt + 1);

    std::vector<Event> shifted;
    for (Event e : paused.events) {
        std::string kind = e["event"];
        if (kind == "pause" || kind == "resume") continue;
        EXPECT_TRUE(e.frame() <= pauseAt || e.frame() > resumeAt)
            << kind << " at frame " << e.frame() << " while paused";
        if (e.frame() > resumeAt) e.fields["frame"] = std::to_string(e.frame() - held);
        shifted.push_back(e);
    }
    ASSERT_EQ(shifted.size(), plain.events.size());
    for (size_t i = 0; i < shifted.size(); ++i)
        ASSERT_EQ(shifted[i].fields, plain.events[i].fields) << "event " << i;
}
