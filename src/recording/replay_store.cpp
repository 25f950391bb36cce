#include "recording/replay_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/atomic_file.h"
#include "base/file_lock.h"
#include "base/paths.h"
#include "base/quote_text.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* gamePrefix = "game-";
constexpr const char* suffix = ".replay";

// The number of a kept game's file name, or -1 for any other file.
long gameNumber(const std::string& name) {
    const std::string prefix = gamePrefix, end = suffix;
    if (name.size() <= prefix.size() + end.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - end.size(), end.size(), end) != 0)
        return -1;
    std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - end.size());
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stol(digits);
}

std::vector<std::pair<long, fs::path>> keptGameFiles(const std::string& dir) {
    std::vector<std::pair<long, fs::path>> games;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        long number = gameNumber(it->path().filename().string());
        if (number >= 0) games.emplace_back(number, it->path());
    }
    std::sort(games.begin(), games.end());
    return games;
}

}  // namespace

std::string replaysDirectory() { return (fs::path(paths().saveDir) / "replays").string(); }

std::string recordGamePath(const std::string& dir, int players) {
    return (fs::path(dir) / ("record-" + std::to_string(players) + "p" + suffix)).string();
}

bool storeGameRecording(const std::string& dir, const std::string& text, int players,
                        bool setTheRecord, std::string& error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        error = "cannot create " + quotePath(dir) + ": " + ec.message();
        return false;
    }
    // Numbers are picked from the newest game on disk: two copies storing at once would
    // otherwise pick the same one.
    std::string lockPath = (fs::path(dir) / ".lock").string();
    FileLock lock(lockPath);
    if (!lock.held()) {
        error = "cannot lock " + quotePath(lockPath) + ": " + lock.error();
        return false;
    }
    auto games = keptGameFiles(dir);
    long next = games.empty() ? 1 : games.back().first + 1;
    char name[48];
    std::snprintf(name, sizeof name, "%s%06ld%s", gamePrefix, next, suffix);
    std::string path = (fs::path(dir) / name).string();
    std::string reason;
    if (!writeFileAtomically(path, text, reason)) {
        error = "cannot write " + quotePath(path) + ": " + reason;
        return false;
    }
    games.emplace_back(next, path);
    if (setTheRecord) {
        std::string recordPath = recordGamePath(dir, players);
        if (!writeFileAtomically(recordPath, text, reason)) {
            error = "cannot write " + quotePath(recordPath) + ": " + reason;
            return false;
        }
    }
    for (size_t i = 0; i + keptGames < games.size(); ++i) fs::remove(games[i].second, ec);
    return true;
}
