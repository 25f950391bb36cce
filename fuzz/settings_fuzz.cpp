// The settings file: any bytes give settings within their ranges, keys that each do one thing
// only, and problems that name the file and repeat nothing a terminal could act on.
#include <strings.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "program/options.h"
#include "program/settings.h"

namespace {

// A few of SDL's key names (the real lookup lives in the SDL backend), in any case.
int keyCode(const char* name) {
    static const struct {
        const char* name;
        int code;
    } keys[] = {{"Space", 57},     {"A", 30},           {"D", 32},          {"P", 25},
                {"Escape", 1},     {"Return", 28},      {"Left", 203},      {"Right", 205},
                {"Up", 200},       {"Down", 208},       {"Left Shift", 42}, {"Right Shift", 54},
                {"Left Ctrl", 29}, {"Right Ctrl", 157}, {"Left Alt", 56},   {"Pause", 0xC5}};
    for (const auto& key : keys)
        if (strcasecmp(name, key.name) == 0) return key.code;
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Options options;
    std::vector<std::string> problems;
    parseSettings(text, "fuzz.ini", options, keyCode, problems);

    if (options.musicVolume < 0 || options.musicVolume > 100 || options.effectsVolume < 0 ||
        options.effectsVolume > 100 || options.scale < 1 || options.scale > 8)
        std::abort();
    std::set<int> used = {1, 25, 0xC5};  // Escape, P and Pause are the game's own
    for (const PlayerKeys& k : options.playerKeys)
        for (int code : {k.up, k.down, k.left, k.right, k.fire, k.chainsaw, k.bomb})
            if (!used.insert(code).second) std::abort();
    for (const std::string& problem : problems) {
        if (problem.rfind("fuzz.ini:", 0) != 0) std::abort();
        for (unsigned char c : problem)
            if (c < 0x20 || c == 0x7F) std::abort();
    }
    return 0;
}
