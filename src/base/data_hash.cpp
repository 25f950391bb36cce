#include "base/data_hash.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/paths.h"

namespace {

// FNV-1a, 64 bits: no cryptography is wanted, only that any changed byte shows.
struct Fnv {
    uint64_t value = 1469598103934665603ull;
    void add(const char* data, size_t length) {
        for (size_t i = 0; i < length; ++i) {
            value ^= static_cast<unsigned char>(data[i]);
            value *= 1099511628211ull;
        }
    }
};

}  // namespace

std::string hashDataDirectory(const std::string& dataDir) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;  // relative, '/'-separated, so the order is the same anywhere
    for (const char* sub : {"g", "s", "m"}) {
        std::error_code error;
        fs::path dir = fs::path(dataDir) / sub;
        for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end;
             it.increment(error)) {
            if (!it->is_regular_file()) continue;
            std::string name = fs::relative(it->path(), dataDir).generic_string();
            if (name == "g/gx.raw") continue;  // the highscores, not game data
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    Fnv hash;
    std::vector<char> buffer(1 << 16);
    for (const std::string& name : names) {
        hash.add(name.c_str(), name.size() + 1);
        std::ifstream in(fs::path(dataDir) / name, std::ios::binary);
        if (!in) return "unreadable";
        while (in) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            hash.add(buffer.data(), static_cast<size_t>(in.gcount()));
        }
        if (in.bad()) return "unreadable";
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash.value));
    return text;
}

std::string dataFilesHash() {
    static std::string forDir, hash;
    const std::string& dir = paths().dataDir;
    if (hash.empty() || forDir != dir) {
        hash = hashDataDirectory(dir);
        forDir = dir;
    }
    return hash;
}
