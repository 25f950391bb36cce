#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "input/frame_input_source.h"
#include "support/files.h"

// The one way tests start the real program: headless, in a scratch directory of its own, its
// settings, saves, screenshots and trace kept there; then read back what it left: exit code,
// stdout, stderr, trace events, files.
namespace screen_run {

// One trace line: its members as text (strings unquoted and unescaped, numbers as written).
struct Event {
    std::string line;  // as the trace wrote it
    std::map<std::string, std::string> fields;
    int frame() const;
    std::string operator[](const std::string& key) const;
    int number(const std::string& key) const;  // -1 when absent
};

struct Result {
    int exitCode = -1;
    std::string errors;  // stderr
    std::vector<Event> events;
    std::string dir;  // the run's scratch directory: save/, shots/, trace.jsonl

    // Events of one kind, in order.
    std::vector<Event> all(const std::string& event) const;
    // Frames of the sound events that played `file` at `hz` (any hz when 0).
    std::vector<int> soundFrames(const std::string& file, int hz = 0) const;
    // Frame of the first state change from -> to, -1 if none.
    int stateChange(int from, int to) const;
    // The screen states in the order they were entered.
    std::vector<int> states() const;
    // The frame in which `state` was entered for the n-th time (1-based), -1 if never.
    int frameOfState(int state, int occurrence = 1) const;
    std::string traceText() const;
    std::string output() const { return readText(dir + "/stdout.txt"); }
    std::string saveDir() const { return dir + "/save"; }
    std::string shotDir() const { return dir + "/shots"; }
};

// A fresh scratch directory named after the running test (emptied first).
std::string scratchDir(const std::string& suffix = "");
// A run going on in the background, to be watched while it runs and then finished: for tests
// of several programs at once (network games).
struct Running {
    int pid = -1;
    std::string dir;
    std::string errors() const { return readText(dir + "/stderr.txt"); }
    // Whether stderr says `text` within `timeoutMs`.
    bool says(const std::string& text, int timeoutMs) const;
};
// Starts the program with --headless --data --save-dir --screenshot-dir --trace and the input
// script text (if not empty), plus extra arguments (shell words, which may override those and
// redirect stdout).
Running launch(const std::string& dir, const std::string& script, const std::string& extraArgs);
// Waits for the end of the run and reads what it left; a run still going after `timeoutMs` is
// killed and gets exit code -1.
Result finish(const Running& running, int timeoutMs = 300000);
// launch() and finish(): a run that blocks is ended after five minutes.
Result run(const std::string& dir, const std::string& script, const std::string& extraArgs);
// The same run in this test's process, for tests that watch or steer the world between frames.
struct HereRun {
    int frames = 0;
    std::string script;                  // input script text
    FrameInputSource* source = nullptr;  // input of its own: a watcher, the autopilot
    std::function<void(int frame, const std::vector<InputCommand>&)> onFrameInput;
    int joysticks = 0;
    uint32_t startTick = 0;
};
// Returns the run's exit code; save/ and shots/ are in dir.
int runHere(const std::string& dir, const HereRun& run);

// `text` as one shell word.
std::string quoted(const std::string& text);

std::vector<Event> parseTrace(const std::string& text);
// The trace without what depends on the machine: file paths.
std::string withoutPaths(const std::string& trace);

}  // namespace screen_run
