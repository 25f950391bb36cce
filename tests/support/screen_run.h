#pragma once
#include <map>
#include <string>
#include <vector>

// Runs the real program headless in a scratch directory of its own and reads back what it
// left: exit code, stderr, trace events, files.
namespace screen_run {

// One trace line: its members as text (strings unquoted and unescaped, numbers as written).
struct Event {
    std::map<std::string, std::string> fields;
    int frame() const;
    std::string operator[](const std::string& key) const;
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
    std::string saveDir() const { return dir + "/save"; }
    std::string shotDir() const { return dir + "/shots"; }
};

// A fresh scratch directory named after the running test (emptied first).
std::string scratchDir(const std::string& suffix = "");
// Runs the program with --headless --data --save-dir --screenshot-dir --trace and the input
// script text (if not empty), plus extra arguments.
Result run(const std::string& dir, const std::string& script, const std::string& extraArgs);

std::vector<Event> parseTrace(const std::string& text);

}  // namespace screen_run
