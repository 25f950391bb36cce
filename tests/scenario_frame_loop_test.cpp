// Runs the built game headless, as a player's script would, and reads what it left behind.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_sheets.h"

namespace fs = std::filesystem;

namespace {

struct TraceLine {
    int frame;
    std::string event, text;
};

struct RunResult {
    int exitCode;
    std::string out, err;
    std::vector<TraceLine> trace;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class FrameLoopScenario : public testing::Test {
protected:
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path file(const std::string& name) const { return dir_ / name; }

    void writeScript(const std::string& text) { std::ofstream(file("input.txt")) << text; }
    std::string script() const { return " --input '" + file("input.txt").string() + "'"; }

    // Runs the game with no display and no sound card reachable.
    RunResult run(const std::string& arguments, bool withData = true) {
        std::string command =
            "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=none "
            "XDG_CONFIG_HOME='" +
            file("config").string() + "' '" + std::string(PARAPET_BINARY) + "' " + arguments;
        if (withData) command += " --data '" + std::string(PARAPET_DATA_DIR) + "'";
        command += " --save-dir '" + file("save").string() + "' >'" + file("out.txt").string() +
                   "' 2>'" + file("err.txt").string() + "'";
        int status = std::system(command.c_str());
        RunResult r{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                    readFile(file("out.txt")),
                    readFile(file("err.txt")),
                    {}};
        std::istringstream trace(readFile(file("trace.jsonl")));
        std::string line;
        std::regex frameAndEvent("^\\{\"frame\":([0-9]+),\"event\":\"([a-z_]+)\"");
        while (std::getline(trace, line)) {
            std::smatch m;
            EXPECT_TRUE(std::regex_search(line, m, frameAndEvent)) << line;
            r.trace.push_back({m.empty() ? -1 : std::stoi(m.str(1)), m.str(2), line});
        }
        return r;
    }

    std::string headless(int frames) const {
        return "--headless --frames " + std::to_string(frames) + " --trace '" +
               file("trace.jsonl").string() + "'";
    }

    // Frames at which the trace shows `event` lines matching `pattern`.
    static std::vector<int> framesOf(const RunResult& r, const std::string& event,
                                     const std::string& pattern) {
        std::vector<int> frames;
        std::regex re(pattern);
        for (const TraceLine& t : r.trace)
            if (t.event == event && std::regex_search(t.text, re)) frames.push_back(t.frame);
        return frames;
    }

    fs::path dir_ = makeTempDir("frame_loop");
};

}  // namespace

TEST_F(FrameLoopScenario, RunsExactlyTheFramesAskedForAndEndsTheTrace) {
    // Fire held through the title: past its skippable point the title runs frame steps of
    // its own until the button is let go, which never happens here. The last frame must
    // end the run in there too.
    writeScript("100 key RSHIFT down\n");
    const std::pair<int, std::string> runs[] = {{1, ""}, {37, ""}, {400, script()}};
    for (const auto& [frames, extra] : runs) {
        RunResult r = run(headless(frames) + " --stats" + extra);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ASSERT_FALSE(r.trace.empty());
        EXPECT_EQ(r.trace.back().event, "end");
        EXPECT_EQ(r.trace.back().frame, frames);
        for (size_t i = 0; i + 1 < r.trace.size(); ++i) {
            EXPECT_NE(r.trace[i].event, "end") << "one end event, the last line";
            EXPECT_GE(r.trace[i].frame, 1);
            EXPECT_LE(r.trace[i].frame, frames) << r.trace[i].text;
        }
        EXPECT_NE(r.out.find("frames run: " + std::to_string(frames)), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("waiting"), std::string::npos);
    }
}

TEST_F(FrameLoopScenario, KeysSeenOneFrameLaterJoysticksInTheFrameStepItself) {
    writeScript(
        "# player 1 holds right from frame 5, taps the space bar at 9\n"
        "4 joy 1 button 31 down\n"
        "5 key RIGHT down\n"
        "6 joy 1 axis y -513\n"
        "9 tap SPACE 3\n"
        "14 key RIGHT up\n");
    RunResult r = run(headless(20) + " --joysticks 2 --trace-input" + script());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::pair<const char*, const char*> table[] = {
        {"key", "\"code\":205,\"down\":true"},
        {"key", "\"code\":205,\"down\":false"},
        {"controls", "\"slot\":0,\"directions\":8,"},
        {"controls", "\"slot\":0,\"directions\":0,"},
        {"key", "\"code\":57,\"down\":true"},
        {"key", "\"code\":57,\"down\":false"},
        {"controls", "\"slot\":1,\"directions\":0,\"buttons\":2147483648"},
        {"controls", "\"slot\":1,\"directions\":1,\"buttons\":2147483648"},
    };
    const std::vector<int> frames[] = {{6}, {15}, {7}, {16}, {10}, {13}, {5}, {7}};
    for (size_t i = 0; i < std::size(table); ++i)
        EXPECT_EQ(framesOf(r, table[i].first, table[i].second), frames[i]) << table[i].second;
}

// A bad script or command line stops the run before its first frame, with one line naming
// what is wrong.
TEST_F(FrameLoopScenario, ExitCodesOfHelpUsageErrorsBadScriptsAndMissingFiles) {
    const std::string data = " --data '" + std::string(PARAPET_DATA_DIR) + "'";
    const std::string emptyData = file("empty-data").string();
    fs::create_directories(emptyData);
    auto scriptFile = [&](const std::string& name, const char* text) {
        std::ofstream(file(name)) << text;
        return headless(5) + data + " --input '" + file(name).string() + "'";
    };
    struct {
        std::string arguments;
        int exitCode;
        bool onStdout;
        std::string mentions;
    } table[] = {
        {"--help", 0, true, "--screenshot-at"},
        {"--version", 0, true, "parapet "},
        {"--headless --frames two", 2, false, "--frames"},
        {"--headless --bogus", 2, false, "--bogus"},
        {headless(3) + data + " --input '" + file("nope.txt").string() + "'", 2, false, "nope.txt"},
        {headless(3) + data + " --input '" + emptyData + "'", 2, false, "is a directory"},
        {headless(3) + " --data '" + emptyData + "'", 1, false, emptyData},
        {scriptFile("a.txt", "1 key SPACE down\n\n3 key SPACE sideways\n"), 2, false, "input:3: "},
        {scriptFile("b.txt", "4 key A down\n2 key A up\n"), 2, false, "input:2: "},
        {scriptFile("c.txt", "1 joy 0 button 0 down\n"), 2, false, "input:1: "},  // no joystick
        {scriptFile("d.txt", "2147483646 tap SPACE\n"), 2, false, "input:1: "},
    };
    for (const auto& row : table) {
        fs::remove(file("trace.jsonl"));
        RunResult r = run(row.arguments, false);
        EXPECT_EQ(r.exitCode, row.exitCode) << row.arguments;
        EXPECT_NE((row.onStdout ? r.out : r.err).find(row.mentions), std::string::npos)
            << row.arguments << "\n"
            << r.out << r.err;
        if (row.exitCode == 2) {
            EXPECT_TRUE(r.trace.empty()) << "no frame ran";
        }
    }
}

TEST_F(FrameLoopScenario, ScreenshotsAfterTheFramesAskedForAndTheStartUpLog) {
    RunResult r = run(headless(6) + " --screenshot-at 4,2,9 --screenshot-dir '" +
                      file("shots").string() + "' --log '" + file("log.txt").string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (int frame : {2, 4}) {
        std::string bytes = readFile(file("shots") / ("frame-" + std::to_string(frame) + ".bmp"));
        EXPECT_EQ(bytes.substr(0, 2), "BM") << frame;
        EXPECT_GE(bytes.size(), 640u * 480u * 3u);
    }
    EXPECT_FALSE(fs::exists(file("shots") / "frame-9.bmp")) << "the run ended at frame 6";
    EXPECT_EQ(framesOf(r, "screenshot", "frame-"), (std::vector<int>{2, 4}));

    std::string log = readFile(file("log.txt"));
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
