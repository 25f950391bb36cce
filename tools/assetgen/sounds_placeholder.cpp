// Placeholder sounds: a short tone per effect, a longer one per music track.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "assetgen.h"

namespace {
const char* effectNames[] = {"splat3",   "wildscream", "wildscream2", "oof",          "fadescream",
                             "chainsaw_loop", "chainsaw_slash1", "clang", "Crowdohh", "Nuclear",
                             "Cheer",    "coming",     "vorlantide",  "chancefor",    "tschonk",
                             "death1",   "death2",     "smartup",     "swish",        "stahl"};

std::vector<uint8_t> tone(double hz, int rate, double seconds) {
    std::vector<uint8_t> out(static_cast<size_t>(rate * seconds));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<uint8_t>(128 + 40 * std::sin(2 * M_PI * hz * i / rate));
    return out;
}
}  // namespace

bool generateSounds(const std::string& outDir) {
    int index = 0;
    for (const char* name : effectNames) {
        auto data = tone(220.0 + 40 * index++, 22050, 0.3);
        if (!writeBytes(outDir + "/s/" + name + ".raw", data.data(), data.size())) return false;
    }
    for (int t = 1; t <= 8; ++t) {
        auto data = tone(110.0 * t, 22050, 2.0);
        char name[32];
        std::snprintf(name, sizeof name, "/m/mus%02d.raw", t);
        if (!writeBytes(outDir + name, data.data(), data.size())) return false;
    }
    return true;
}

bool previewSounds(const std::string&, const std::string&) { return true; }
