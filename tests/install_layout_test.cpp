// What an installed game relies on: finding its data beside the program in each layout,
// its window icon, and a manual page that keeps up with the options.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "base/paths.h"
#include "platform/headless/headless_display.h"
#include "program/options.h"
#include "program/window_icon.h"
#include "support/test_sheets.h"

namespace fs = std::filesystem;

TEST(InstallLayout, DataDirectoryFoundBesideTheProgramInEachLayout) {
    struct Case {
        const char* layout;
        std::vector<const char*> dirs;  // made under the root
        const char* program;            // folder of the program
        const char* expected;           // data directory found
    };
    const std::vector<Case> cases = {
        {"build tree", {"build/data"}, "build", "build/data"},
        {"plain layout", {"usr/bin", "usr/share/parapet"}, "usr/bin", "usr/share/parapet"},
        // A build tree wins over an installed tree that happens to sit beside it.
        {"both", {"x/games/data", "x/share/games/parapet"}, "x/games", "x/games/data"},
        // Nothing there: data/ beside the program, so the error names a sensible place.
        {"none", {"opt/games"}, "opt/games", "opt/games/data"},
    };
    for (const Case& c : cases) {
        fs::path root = makeTempDir("layout");
        for (const char* d : c.dirs) fs::create_directories(root / d);
        EXPECT_EQ(dataDirBeside((root / c.program).string()), (root / c.expected).string())
            << c.layout;
        fs::remove_all(root);
    }
}

namespace {

class IconDisplay : public HeadlessDisplay {
public:
    IconDisplay() : HeadlessDisplay(8, 8) {}
    void setIcon(const uint8_t* rgba, int width, int height) override {
        pixels.assign(rgba, rgba + size_t(width) * height * 4);
        this->width = width;
        this->height = height;
    }
    std::vector<uint8_t> pixels;
    int width = 0, height = 0;
};

}  // namespace

TEST(InstallLayout, WindowIconReadFromTheDataDirectoryOrLeftOut) {
    const SavedPaths saved;
    fs::path root = makeTempDir("icon");
    fs::create_directories(root / "g");
    paths().dataDir = root.string();
    const fs::path file = root / "g" / "Icon_64x64.rgba";

    std::vector<uint8_t> rgba(64 * 64 * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 7);
    writeFileBytes(file, rgba);
    IconDisplay shown;
    EXPECT_TRUE(showWindowIcon(shown));
    EXPECT_EQ(shown.width, 64);
    EXPECT_EQ(shown.height, 64);
    EXPECT_EQ(shown.pixels, rgba);

    // A short or missing file costs the icon, never the game.
    for (bool present : {true, false}) {
        fs::remove(file);
        if (present) writeFileBytes(file, {rgba.begin(), rgba.begin() + 1000});
        IconDisplay plain;
        std::string err = stderrOf([&] { EXPECT_FALSE(showWindowIcon(plain)); });
        EXPECT_NE(err.find(file.string()), std::string::npos) << err;
        EXPECT_TRUE(plain.pixels.empty());
    }
    fs::remove_all(root);
}

// A new option lands in the usage text; the manual page must follow it.
TEST(InstallLayout, ManualPageNamesEveryOption) {
    std::string page = std::regex_replace(readText(PARAPET_SOURCE_DIR "/dist/parapet.6.in"),
                                          std::regex(R"(\\-)"), "-");
    ASSERT_FALSE(page.empty());

    const std::string usage = usageText();
    std::set<std::string> options;
    std::regex option(R"(--[a-z][a-z-]*)");
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option);
         it != std::sregex_iterator(); ++it)
        options.insert(it->str());
    ASSERT_GT(options.size(), 10u);
    for (const std::string& o : options)
        EXPECT_NE(page.find(o), std::string::npos) << o << " is missing from dist/parapet.6.in";
}
