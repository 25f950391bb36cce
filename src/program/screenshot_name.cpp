#include <cstdio>
#include <cstring>
#include <filesystem>

#include "program/screenshot_name.h"
#include "base/paths.h"

ScreenshotButton screenshotButton;

namespace {
// Enough to step over every picture a player could have left in the directory.
constexpr int maxNamesTried = 100000;
}  // namespace

void advanceScreenshotName(char* name, size_t size) {
    char* dot = std::strrchr(name, '.');
    if (dot == nullptr) return;
    char* first = dot;
    while (first > name && first[-1] >= '0' && first[-1] <= '9') --first;
    if (first == dot) return;

    char* digit = dot - 1;
    char carryAt = '8';
    while (*digit >= carryAt) {
        if (digit == first) break;
        carryAt = '9';
        --digit;
    }
    if (*digit < carryAt) {
        ++*digit;
        for (char* rest = digit + 1; rest < dot; ++rest) *rest = '0';
        return;
    }
    // Every digit carries: one more digit in front, if the buffer has room for it (else the
    // name stays as it is rather than wrapping round onto an old picture).
    size_t length = std::strlen(name);
    if (length + 2 > size) return;
    for (char* rest = first; rest < dot; ++rest) *rest = '0';
    std::memmove(first + 1, first, length - static_cast<size_t>(first - name) + 1);
    *first = '1';
}

std::string claimScreenshotName(char* gameName, size_t size) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::string path = resolveDataPath(screenshotButton.name);
    fs::path dir = fs::path(path).parent_path();
    if (!dir.empty()) fs::create_directories(dir, ec);
    // Pictures of earlier runs are kept: a name already on disk counts as used, a link that
    // leads nowhere too (a picture through it would land wherever it points).
    for (int tries = 0; tries < maxNamesTried && fs::exists(fs::symlink_status(path, ec));
         ++tries) {
        advanceScreenshotName(screenshotButton.name, sizeof screenshotButton.name);
        path = resolveDataPath(screenshotButton.name);
    }
    std::snprintf(gameName, size, "%s", screenshotButton.name);
    advanceScreenshotName(screenshotButton.name, sizeof screenshotButton.name);
    return path;
}
