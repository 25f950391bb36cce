#pragma once
// Files for tests: a fresh folder of their own, whole files read and written, what the code
// under test says on stderr, and the program-wide paths put back as they were.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/paths.h"

// A new empty directory below the test temp dir, unique per call; ends without a slash.
std::string makeTempDir(const std::string& name);

// The whole file, empty when it cannot be read.
std::string readText(const std::string& path);
std::vector<uint8_t> readFileBytes(const std::string& path);
// Replaces the file with exactly these bytes.
void writeText(const std::string& path, const std::string& text);
void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Runs `step` and returns what it wrote to stderr.
std::string stderrOf(const std::function<void()>& step);
// Runs `step`, keeps what it wrote to stderr in `said` and returns what it returned.
bool withStderr(std::string& said, const std::function<bool()>& step);

// The data, save and screenshot directories as they were when it was made, back when it goes.
struct SavedPaths {
    Paths saved = paths();
    ~SavedPaths() { paths() = saved; }
};
