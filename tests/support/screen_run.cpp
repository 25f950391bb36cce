#include "support/screen_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace screen_run {

namespace {
std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Parses one flat JSON object of strings and numbers, as the trace writes them.
Event parseLine(const std::string& line) {
    Event event;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == ',' || line[i] == '{')) ++i;
    };
    auto readString = [&] {
        std::string out;
        ++i;  // opening quote
        while (i < line.size() && line[i] != '"') {
            if (line[i] == '\\' && i + 1 < line.size()) {
                ++i;
                char c = line[i];
                out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
            } else {
                out += line[i];
            }
            ++i;
        }
        ++i;  // closing quote
        return out;
    };
    while (true) {
        skipBlanks();
        if (i >= line.size() || line[i] != '"') break;
        std::string key = readString();
        if (i < line.size() && line[i] == ':') ++i;
        std::string value;
        if (i < line.size() && line[i] == '"') {
            value = readString();
        } else {
            while (i < line.size() && line[i] != ',' && line[i] != '}') value += line[i++];
        }
        event.fields[key] = value;
    }
    return event;
}
}  // namespace

int Event::frame() const { return std::atoi((*this)["frame"].c_str()); }

std::string Event::operator[](const std::string& key) const {
    auto it = fields.find(key);
    return it == fields.end() ? std::string() : it->second;
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

Result run(const std::string& dir, const std::string& script, const std::string& extraArgs) {
    Result result;
    result.dir = dir;
    // A settings file of the developer's own must not change what the tests see.
    std::string command = "XDG_CONFIG_HOME='" + dir + "/config' '" + std::string(PARAPET_BINARY) +
                          "' --headless --data '" + PARAPET_DATA_DIR + "' --save-dir '" + dir +
                          "/save' --screenshot-dir '" + dir + "/shots' --trace '" + dir +
                          "/trace.jsonl' " + extraArgs;
    if (!script.empty()) {
        std::ofstream(dir + "/input.txt") << script;
        command += " --input '" + dir + "/input.txt'";
    }
    command += " >'" + dir + "/stdout.txt' 2>'" + dir + "/stderr.txt'";
    int status = std::system(command.c_str());
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.errors = readText(dir + "/stderr.txt");
    result.events = parseTrace(readText(dir + "/trace.jsonl"));
    return result;
}

}  // namespace screen_run
