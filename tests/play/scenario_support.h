#pragma once
// Runs the real program headless from an input script and reads back what it traced.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace scenario {

// One trace line with its fields read as text (numbers and strings alike, quotes removed).
struct Event {
    std::string line;
    int frame = 0;
    std::string event;

    std::string field(const std::string& name) const {
        std::string key = "\"" + name + "\":";
        auto at = line.find(key);
        if (at == std::string::npos) return "";
        at += key.size();
        if (line[at] == '"') {
            std::string out;
            for (size_t i = at + 1; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                out += line[i];
            }
            return out;
        }
        auto end = line.find_first_of(",}", at);
        return line.substr(at, end - at);
    }
    int number(const std::string& name) const {
        std::string v = field(name);
        return v.empty() ? -1 : std::stoi(v);
    }
};

struct Run {
    int exitCode = -1;
    std::filesystem::path dir;
    std::vector<Event> events;

    std::vector<Event> all(const std::string& event) const {
        std::vector<Event> out;
        for (const Event& e : events) {
            if (e.event == event) out.push_back(e);
        }
        return out;
    }
    // The screen states in the order they were entered.
    std::vector<int> states() const {
        std::vector<int> out;
        for (const Event& e : all("state")) out.push_back(e.number("to"));
        return out;
    }
    // The frame in which the state was entered for the n-th time (1-based), -1 if never.
    int frameOfState(int state, int occurrence = 1) const {
        for (const Event& e : all("state")) {
            if (e.number("to") == state && --occurrence == 0) return e.frame;
        }
        return -1;
    }
    std::string traceText() const {
        std::string out;
        for (const Event& e : events) out += e.line + "\n";
        return out;
    }
};

// A fresh directory per run under the test temp directory; a highscore file may be put in
// its save/ directory before the run.
inline std::filesystem::path freshDir(const std::string& name) {
    // The process id keeps two test runs on one machine out of each other's folders.
    std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) /
                                ("parapet_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "save");
    return dir;
}

inline Run runGame(const std::filesystem::path& dir, const std::string& script, int frames,
                   const std::string& extra = "") {
    Run run;
    run.dir = dir;
    std::ofstream(dir / "input.txt") << script;
    // A settings file of the developer's own must not change the game.
    std::string command =
        "XDG_CONFIG_HOME=" + (dir / "config").string() + " " + std::string(PARAPET_BINARY) +
        " --headless --data " + PARAPET_DATA_DIR + " --save-dir " + (dir / "save").string() +
        " --screenshot-dir " + (dir / "shots").string() + " --input " +
        (dir / "input.txt").string() + " --trace " + (dir / "trace.jsonl").string() + " --frames " +
        std::to_string(frames) + " " + extra + " > " + (dir / "stdout.txt").string() + " 2>&1";
    int status = std::system(command.c_str());
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(dir / "trace.jsonl");
    for (std::string line; std::getline(in, line);) {
        Event e;
        e.line = line;
        e.frame = e.number("frame");
        e.event = e.field("event");
        run.events.push_back(e);
    }
    return run;
}

}  // namespace scenario
