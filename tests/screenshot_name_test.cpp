#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "program/screenshot_name.h"
#include "base/paths.h"

namespace fs = std::filesystem;

namespace {
std::string after(const char* name) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s", name);
    advanceScreenshotName(buffer, sizeof buffer);
    return buffer;
}
}  // namespace

TEST(ScreenshotName, CarriesAtEightThenRipplesIntoNewDigits) {
    struct Case {
        const char* from;
        const char* to;
    };
    const Case cases[] = {
        {"c:\\snap00.bmp", "c:\\snap01.bmp"},   {"c:\\snap07.bmp", "c:\\snap08.bmp"},
        {"c:\\snap08.bmp", "c:\\snap10.bmp"},   {"c:\\snap18.bmp", "c:\\snap20.bmp"},
        {"c:\\snap88.bmp", "c:\\snap90.bmp"},   {"c:\\snap98.bmp", "c:\\snap100.bmp"},
        {"c:\\snap100.bmp", "c:\\snap101.bmp"}, {"c:\\snap108.bmp", "c:\\snap110.bmp"},
        {"c:\\snap198.bmp", "c:\\snap200.bmp"}, {"c:\\snap998.bmp", "c:\\snap1000.bmp"},
    };
    for (const Case& c : cases) EXPECT_EQ(after(c.from), c.to) << c.from;
}

TEST(ScreenshotName, PicturesOfEarlierRunsAreNeverOverwritten) {
    fs::path dir =
        fs::path(testing::TempDir()) / ("shots_" + std::to_string(::getpid())) / "nested";
    fs::remove_all(dir.parent_path());
    Paths saved = paths();
    paths().screenshotDir = dir.string();
    screenshotButton = ScreenshotButton{};

    char gameName[32];
    std::string first = claimScreenshotName(gameName, sizeof gameName);
    EXPECT_TRUE(fs::is_directory(dir)) << "the screenshot directory is created";
    EXPECT_EQ(first, (dir / "snap00.bmp").string());
    EXPECT_STREQ(gameName, "c:\\snap00.bmp");

    // Files left by an earlier run: snap01, snap02 and snap08 are taken.
    for (const char* taken : {"snap01.bmp", "snap02.bmp", "snap08.bmp"})
        std::ofstream(dir / taken) << "old";
    std::string expected[] = {"snap03.bmp", "snap04.bmp", "snap05.bmp",
                              "snap06.bmp", "snap07.bmp", "snap10.bmp"};
    for (const std::string& name : expected) {
        EXPECT_EQ(claimScreenshotName(gameName, sizeof gameName), (dir / name).string());
        std::ofstream(dir / name) << "new";
    }
    paths() = saved;
    screenshotButton = ScreenshotButton{};
    fs::remove_all(dir.parent_path());
}
