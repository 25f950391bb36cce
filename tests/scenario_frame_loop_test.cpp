// Runs the built game headless, as a player's script would, and reads what it left behind.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct TraceLine {
    int frame = -1;
    std::string event;
    std::string text;
};

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::vector<TraceLine> trace;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Integer member `key` of a one-line JSON object, or `fallback`.
long long field(const std::string& line, const std::string& key, long long fallback = -1) {
    std::smatch m;
    if (std::regex_search(line, m, std::regex("\"" + key + "\":(-?[0-9]+)")))
        return std::stoll(m[1]);
    return fallback;
}

class FrameLoopScenario : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(testing::TempDir()) /
               ("frame_loop_" + std::to_string(getpid()) + "_" +
                std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path file(const std::string& name) const { return dir_ / name; }

    void writeScript(const std::string& text) { std::ofstream(file("input.txt")) << text; }

    // Runs the game with no display and no sound card reachable.
    RunResult run(const std::string& arguments, bool withData = true) {
        std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=none '" +
                              std::string(PARAPET_BINARY) + "' " + arguments;
        if (withData) command += " --data '" + std::string(PARAPET_DATA_DIR) + "'";
        command += " --save-dir '" + file("save").string() + "'";
        command += " >'" + file("out.txt").string() + "' 2>'" + file("err.txt").string() + "'";
        int status = std::system(command.c_str());
        RunResult r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = readFile(file("out.txt"));
        r.err = readFile(file("err.txt"));
        std::istringstream trace(readFile(file("trace.jsonl")));
        std::string line;
        std::regex event("\"event\":\"([a-z_]+)\"");
        while (std::getline(trace, line)) {
            TraceLine t;
            t.text = line;
            t.frame = static_cast<int>(field(line, "frame"));
            std::smatch m;
            if (std::regex_search(line, m, event)) t.event = m[1];
            r.trace.push_back(t);
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

    fs::path dir_;
};

}  // namespace

TEST_F(FrameLoopScenario, RunsExactlyTheFramesAskedForAndEndsTheTrace) {
    for (int frames : {1, 37}) {
        RunResult r = run(headless(frames));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ASSERT_FALSE(r.trace.empty());
        EXPECT_EQ(r.trace.back().event, "end");
        EXPECT_EQ(r.trace.back().frame, frames);
        for (size_t i = 0; i + 1 < r.trace.size(); ++i) {
            EXPECT_NE(r.trace[i].event, "end") << "one end event, the last line";
            EXPECT_GE(r.trace[i].frame, 1);
            EXPECT_LE(r.trace[i].frame, frames) << r.trace[i].text;
        }
    }
}

TEST_F(FrameLoopScenario, LastFrameEndsTheRunEvenInsideFrameStepsOfTheGameFlow) {
    // Fire held through the title: past its skippable point the title runs frame steps of
    // its own until the button is let go, which never happens here.
    writeScript("100 key RSHIFT down\n");
    RunResult r = run(headless(400) + " --input '" + file("input.txt").string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_FALSE(r.trace.empty());
    EXPECT_EQ(r.trace.back().event, "end");
    EXPECT_EQ(r.trace.back().frame, 400);
    for (const TraceLine& t : r.trace) EXPECT_LE(t.frame, 400) << t.text;
}

TEST_F(FrameLoopScenario, KeySeenOneFrameLaterAndControlsTwoFramesLater) {
    writeScript(
        "# player 1 holds right from frame 5, taps the space bar at 9\n"
        "5 key RIGHT down\n"
        "9 tap SPACE 3\n"
        "14 key RIGHT up\n");
    RunResult r = run(headless(20) + " --trace-input --input '" + file("input.txt").string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(framesOf(r, "key", "\"code\":205,\"down\":true"), std::vector<int>{6});
    EXPECT_EQ(framesOf(r, "key", "\"code\":205,\"down\":false"), std::vector<int>{15});
    EXPECT_EQ(framesOf(r, "controls", "\"slot\":0,\"directions\":8,"), std::vector<int>{7});
    EXPECT_EQ(framesOf(r, "controls", "\"slot\":0,\"directions\":0,"), std::vector<int>{16});
    EXPECT_EQ(framesOf(r, "key", "\"code\":57,\"down\":true"), std::vector<int>{10});
    EXPECT_EQ(framesOf(r, "key", "\"code\":57,\"down\":false"), std::vector<int>{13});
}

TEST_F(FrameLoopScenario, JoystickIsReadInTheFrameStepItself) {
    writeScript(
        "4 joy 1 button 31 down\n"
        "6 joy 1 axis y -513\n");
    RunResult r = run(headless(10) + " --joysticks 2 --trace-input --input '" +
                      file("input.txt").string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(framesOf(r, "controls", "\"slot\":1,\"directions\":0,\"buttons\":2147483648"),
              std::vector<int>{5});
    EXPECT_EQ(framesOf(r, "controls", "\"slot\":1,\"directions\":1,\"buttons\":2147483648"),
              std::vector<int>{7});
}

TEST_F(FrameLoopScenario, BadInputScriptStopsBeforeTheFirstFrame) {
    struct {
        const char* script;
        const char* extra;
        const char* message;
    } table[] = {
        {"1 key SPACE down\n\n3 key SPACE sideways\n", "", "input:3: "},
        {"4 key A down\n2 key A up\n", "", "input:2: "},
        {"1 joy 0 button 0 down\n", "", "input:1: "},  // no joystick in this run
    };
    for (const auto& row : table) {
        writeScript(row.script);
        fs::remove(file("trace.jsonl"));
        RunResult r =
            run(headless(5) + " --input '" + file("input.txt").string() + "'" + row.extra);
        EXPECT_EQ(r.exitCode, 2) << row.script;
        EXPECT_EQ(r.err.rfind(row.message, 0), 0u) << r.err;
        EXPECT_TRUE(r.trace.empty()) << "no frame ran";
    }
}

TEST_F(FrameLoopScenario, UsageErrorsAndHelp) {
    RunResult help = run("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--screenshot-at"), std::string::npos);
    RunResult version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("parapet ", 0), 0u);
    RunResult bad = run("--headless --frames two");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("--frames"), std::string::npos);
    RunResult missingScript =
        run("--headless --frames 3 --input '" + file("nope.txt").string() + "'");
    EXPECT_EQ(missingScript.exitCode, 2);
    EXPECT_NE(missingScript.err.find("nope.txt"), std::string::npos);
}

TEST_F(FrameLoopScenario, MissingDataEndsStartUpWithExitCodeOne) {
    std::string empty = file("empty-data").string();
    fs::create_directories(empty);
    RunResult r = run(headless(3) + " --data '" + empty + "'", false);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(empty), std::string::npos) << r.err;
}

TEST_F(FrameLoopScenario, ScreenshotsAfterTheFramesAskedFor) {
    RunResult r = run(headless(6) + " --screenshot-at 4,2,9 --screenshot-dir '" +
                      file("shots").string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (int frame : {2, 4}) {
        fs::path shot = file("shots") / ("frame-" + std::to_string(frame) + ".bmp");
        ASSERT_TRUE(fs::exists(shot)) << shot;
        std::string bytes = readFile(shot);
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_GE(bytes.size(), 640u * 480u * 3u);
    }
    EXPECT_FALSE(fs::exists(file("shots") / "frame-9.bmp")) << "the run ended at frame 6";
    EXPECT_EQ(framesOf(r, "screenshot", "frame-"), (std::vector<int>{2, 4}));
}

TEST_F(FrameLoopScenario, LogHoldsTheStartUpLinesInOrder) {
    RunResult r = run(headless(2) + " --log '" + file("log.txt").string() + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
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

TEST_F(FrameLoopScenario, StatsReportTheFramesRun) {
    RunResult r = run(headless(12) + " --stats");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("frames run: 12"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("waiting"), std::string::npos);
}
