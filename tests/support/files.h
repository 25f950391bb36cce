#pragma once
// Files for tests: a fresh folder of their own, and whole files read and written.
#include <cstdint>
#include <string>
#include <vector>

// A new empty directory below the test temp dir, unique per call; ends without a slash.
std::string makeTempDir(const std::string& name);

// The whole file, empty when it cannot be read.
std::string readText(const std::string& path);
std::vector<uint8_t> readFileBytes(const std::string& path);
// Replaces the file with exactly these bytes.
void writeText(const std::string& path, const std::string& text);
void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
