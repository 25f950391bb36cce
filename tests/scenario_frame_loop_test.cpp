// Runs the built game headless, as a player's script would, and reads what it left behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/scoped_env.h"
#include "support/screen_run.h"

namespace fs = std::filesystem;
using screen_run::Event;
using screen_run::Result;

namespace {

// Frames at which the trace shows `event` lines holding all of `fields`.
std::vector<int> framesOf(const Result& r, const std::string& event,
                          const std::map<std::string, std::string>& fields) {
    std::vector<int> frames;
    for (const Event& e : r.all(event)) {
        bool matches = true;
        for (const auto& [key, value] : fields) matches &= e[key] == value;
        if (matches) frames.push_back(e.frame());
    }
    return frames;
}

}  // namespace

TEST(FrameLoopScenario, RunsExactlyTheFramesAskedForAndEndsTheTrace) {
    // Fire held through the title: past its skippable point the title runs frame steps of
    // its own until the button is let go, which never happens here. The last frame must
    // end the run in there too. No display is reachable: a headless run must not need one.
    const ScopedEnv noX("DISPLAY", nullptr), noWayland("WAYLAND_DISPLAY", nullptr);
    for (int frames : {1, 37, 400}) {
        Result r = screen_run::run(screen_run::scratchDir(std::to_string(frames)),
                                   frames == 400 ? "100 key RSHIFT down\n" : "",
                                   "--frames " + std::to_string(frames) + " --stats");
        ASSERT_EQ(r.exitCode, 0) << r.errors;
        ASSERT_FALSE(r.events.empty());
        EXPECT_EQ(r.events.back()["event"], "end");
        EXPECT_EQ(r.events.back().frame(), frames);
        for (size_t i = 0; i + 1 < r.events.size(); ++i) {
            EXPECT_NE(r.events[i]["event"], "end") << "one end event, the last line";
            EXPECT_GE(r.events[i].frame(), 1);
            EXPECT_LE(r.events[i].frame(), frames) << r.events[i]["event"];
        }
        std::string out = r.output();
        EXPECT_NE(out.find("frames run: " + std::to_string(frames)), std::string::npos) << out;
        EXPECT_NE(out.find("waiting"), std::string::npos);
    }
}

TEST(FrameLoopScenario, KeysSeenOneFrameLaterJoysticksInTheFrameStepItself) {
    Result r = screen_run::run(screen_run::scratchDir(),
                               "# player 1 holds right from frame 5, taps the space bar at 9\n"
                               "4 joy 1 button 31 down\n"
                               "5 key RIGHT down\n"
                               "6 joy 1 axis y -513\n"
                               "9 tap SPACE 3\n"
                               "14 key RIGHT up\n",
                               "--frames 20 --joysticks 2 --trace-input");
    ASSERT_EQ(r.exitCode, 0) << r.errors;
    const struct {
        const char* event;
        std::map<std::string, std::string> fields;
        std::vector<int> frames;
    } table[] = {
        {"key", {{"code", "205"}, {"down", "true"}}, {6}},
        {"key", {{"code", "205"}, {"down", "false"}}, {15}},
        {"controls", {{"slot", "0"}, {"directions", "8"}}, {7}},
        {"controls", {{"slot", "0"}, {"directions", "0"}}, {16}},
        {"key", {{"code", "57"}, {"down", "true"}}, {10}},
        {"key", {{"code", "57"}, {"down", "false"}}, {13}},
        {"controls", {{"slot", "1"}, {"directions", "0"}, {"buttons", "2147483648"}}, {5}},
        {"controls", {{"slot", "1"}, {"directions", "1"}, {"buttons", "2147483648"}}, {7}},
    };
    for (const auto& row : table)
        EXPECT_EQ(framesOf(r, row.event, row.fields), row.frames)
            << row.event << " " << row.fields.begin()->second;
}

// A bad script or command line stops the run before its first frame, with one line naming
// what is wrong.
TEST(FrameLoopScenario, ExitCodesOfHelpUsageErrorsBadScriptsAndMissingFiles) {
    const std::string emptyData = screen_run::scratchDir("empty-data");
    struct {
        std::string script, arguments;
        int exitCode;
        bool onStdout;
        std::string mentions;
    } table[] = {
        {"", "--help", 0, true, "--screenshot-at"},
        {"", "--version", 0, true, "parapet "},
        {"", "--bogus", 2, false, "--bogus"},
        {"", "--frames 3 --input '/nonexistent/nope.txt'", 2, false,
         "/nonexistent/nope.txt: cannot be read"},
        {"", "--frames 3 --input '" + emptyData + "'", 2, false, "is a directory"},
        {"1 joy 0 button 0 down\n", "--frames 5", 2, false, "input:1: "},  // no joystick
    };
    int n = 0;
    for (const auto& row : table) {
        Result r =
            screen_run::run(screen_run::scratchDir(std::to_string(n++)), row.script, row.arguments);
        EXPECT_EQ(r.exitCode, row.exitCode) << row.arguments;
        EXPECT_NE((row.onStdout ? r.output() : r.errors).find(row.mentions), std::string::npos)
            << row.arguments << "\n"
            << r.output() << r.errors;
        if (row.exitCode == 2) {
            EXPECT_TRUE(r.events.empty()) << "no frame ran";
        }
    }
}

TEST(FrameLoopScenario, ScreenshotsAfterTheFramesAskedForAndTheStartUpLog) {
    const std::string dir = screen_run::scratchDir();
    Result r =
        screen_run::run(dir, "", "--frames 6 --screenshot-at 4,2,9 --log '" + dir + "/log.txt'");
    ASSERT_EQ(r.exitCode, 0) << r.errors;
    // What a shot holds: Menu.PlayersCycleUpToTheLimit and the score line test (Extras).
    for (int frame : {2, 4})
        EXPECT_TRUE(fs::exists(r.shotDir() + "/frame-" + std::to_string(frame) + ".bmp")) << frame;
    EXPECT_FALSE(fs::exists(r.shotDir() + "/frame-9.bmp")) << "the run ended at frame 6";
    EXPECT_EQ(framesOf(r, "screenshot", {}), (std::vector<int>{2, 4}));

    std::string log = readText(dir + "/log.txt");
    EXPECT_EQ(log.rfind("Entering Main Method....\n", 0), 0u) << "the first line";
    // The animation build writes lines of its own between its first and last line.
    const char* lines[] = {"\nbuilding animations\n", "\nbuilding animations done\n",
                           "\nloading sfx\nsfx loaded, now loading music\nmusic loaded\n"
                           "determining ticks\nticks per second: 1000\nentering main loop\n"};
    size_t at = 0;
    for (const char* line : lines) {
        size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " after offset " << at << " in\n" << log;
        at = found + 1;
    }
}
