#include "support/files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

std::string makeTempDir(const std::string& name) {
    static std::atomic<int> counter{0};
    std::filesystem::path dir =
        std::filesystem::path(testing::TempDir()) /
        ("parapet-" + name + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::string text = readText(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

void writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    writeText(path, std::string(bytes.begin(), bytes.end()));
}

std::string stderrOf(const std::function<void()>& step) {
    testing::internal::CaptureStderr();
    step();
    return testing::internal::GetCapturedStderr();
}

bool withStderr(std::string& said, const std::function<bool()>& step) {
    bool ok = false;
    said = stderrOf([&] { ok = step(); });
    return ok;
}
