#include "support/screen_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "base/paths.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "program/game_run.h"
#include "program/options.h"

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

namespace screen_run {

namespace {
// One flat JSON object of strings and numbers, as the trace writes them.
Event parseLine(const std::string& line) {
    static const std::regex member(R"re("(\w+)":(?:"((?:\\.|[^"\\])*)"|([^,}]*)))re");
    Event event;
    event.line = line;
    for (std::sregex_iterator it(line.begin(), line.end(), member), end; it != end; ++it) {
        const std::string raw = (*it)[2].matched ? (*it)[2].str() : (*it)[3].str();
        std::string& value = event.fields[(*it)[1]];
        for (size_t k = 0; k < raw.size(); ++k) {
            char c = raw[k];
            if (c == '\\' && k + 1 < raw.size()) {
                c = raw[++k];
                c = c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
            }
            value += c;
        }
    }
    return event;
}
}  // namespace

int Event::frame() const { return std::atoi((*this)["frame"].c_str()); }

std::string Event::operator[](const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? std::string() : it->second;
}

int Event::number(const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? -1 : std::atoi(it->second.c_str());
}

std::vector<Event> Result::all(const std::string& event) const {
    std::vector<Event> out;
    for (const Event& e : events)
        if (e["event"] == event) out.push_back(e);
    return out;
}

std::vector<int> Result::soundFrames(const std::string& file, int hz) const {
    std::vector<int> frames;
    for (const Event& e : all("sound"))
        if (e["op"] == "play" && e["file"] == file && (hz == 0 || e["hz"] == std::to_string(hz)))
            frames.push_back(e.frame());
    return frames;
}

int Result::stateChange(int from, int to) const {
    for (const Event& e : all("state"))
        if (e["from"] == std::to_string(from) && e["to"] == std::to_string(to)) return e.frame();
    return -1;
}

std::vector<int> Result::states() const {
    std::vector<int> out;
    for (const Event& e : all("state")) out.push_back(e.number("to"));
    return out;
}

int Result::frameOfState(int state, int occurrence) const {
    for (const Event& e : all("state"))
        if (e.number("to") == state && --occurrence == 0) return e.frame();
    return -1;
}

std::string Result::traceText() const {
    std::string out;
    for (const Event& e : events) out += e.line + "\n";
    return out;
}

std::vector<Event> parseTrace(const std::string& text) {
    std::vector<Event> events;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) events.push_back(parseLine(line));
    return events;
}

std::string scratchDir(const std::string& suffix) {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    fs::path dir =
        fs::path(testing::TempDir()) / ("screens_" + std::to_string(::getpid()) + "_" +
                                        info->test_suite_name() + "_" + info->name() + suffix);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
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

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

Running launch(const std::string& dir, const std::string& script, const std::string& extraArgs) {
    Running running;
    running.dir = dir;
    fs::remove(dir + "/trace.jsonl");
    fs::remove(dir + "/stderr.txt");
    if (!script.empty()) writeText(dir + "/input.txt", script);
    // A settings file of the developer's own must not change what the tests see.
    std::string command =
        "exec env XDG_CONFIG_HOME=" + quoted(dir + "/config") + " " + quoted(PARAPET_BINARY) +
        " >" + quoted(dir + "/stdout.txt") + " 2>" + quoted(dir + "/stderr.txt") +
        " --headless --data " + quoted(PARAPET_DATA_DIR) + " --save-dir " + quoted(dir + "/save") +
        " --screenshot-dir " + quoted(dir + "/shots") + " --trace " + quoted(dir + "/trace.jsonl") +
        (script.empty() ? "" : " --input " + quoted(dir + "/input.txt")) + " " + extraArgs;
    running.pid = ::fork();
    if (running.pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return running;
}

bool Running::says(const std::string& text, int timeoutMs) const {
    for (auto begin = Steady::now(); Steady::now() - begin < std::chrono::milliseconds(timeoutMs);
         ::usleep(20000))
        if (errors().find(text) != std::string::npos) return true;
    return false;
}

Result finish(const Running& running, int timeoutMs) {
    Result result;
    result.dir = running.dir;
    int status = 0;
    bool killed = false;
    for (auto begin = Steady::now(); ::waitpid(running.pid, &status, WNOHANG) != running.pid;
         ::usleep(20000)) {
        if (Steady::now() - begin < std::chrono::milliseconds(timeoutMs)) continue;
        ::kill(running.pid, SIGKILL);
        ::waitpid(running.pid, &status, 0);
        killed = true;
        break;
    }
    result.exitCode = !killed && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.errors = readText(running.dir + "/stderr.txt");
    result.events = parseTrace(readText(running.dir + "/trace.jsonl"));
    return result;
}

Result run(const std::string& dir, const std::string& script, const std::string& extraArgs) {
    return finish(launch(dir, script, extraArgs));
}

int runHere(const std::string& dir, const HereRun& run) {
    Options options;
    options.headless = true;
    options.frames = run.frames;
    options.joysticks = run.joysticks;
    paths().dataDir = options.dataDir = PARAPET_DATA_DIR;
    paths().saveDir = options.saveDir = dir + "/save";
    paths().screenshotDir = options.screenshotDir = dir + "/shots";
    InputScript script;
    std::string error;
    EXPECT_TRUE(parseInputScript(run.script, script, error)) << error;
    Platform platform;
    HeadlessSettings settings;
    settings.joysticks = run.joysticks;
    settings.startTick = run.startTick;
    HeadlessDevices devices = createHeadlessPlatform(settings, platform);
    RunInput input;
    input.source = run.source;
    input.onFrameInput = run.onFrameInput;
    return runGame(options, platform, &devices, &script, input);
}

}  // namespace screen_run
