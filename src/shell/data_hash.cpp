#include "shell/data_hash.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/paths.h"

uint64_t dataFilesHash() {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    fs::path root = paths().dataDir;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file(error)) names.push_back(fs::relative(it->path(), root, error).generic_string());
    std::sort(names.begin(), names.end());
    uint64_t h = 0xCBF29CE484222325ull;
    auto add = [&h](const char* data, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            h ^= static_cast<unsigned char>(data[i]);
            h *= 0x100000001B3ull;
        }
    };
    std::vector<char> buffer(1 << 16);
    for (const std::string& name : names) {
        add(name.c_str(), name.size() + 1);
        std::ifstream in(root / name, std::ios::binary);
        while (in) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            add(buffer.data(), static_cast<size_t>(in.gcount()));
        }
    }
    return h;
}
