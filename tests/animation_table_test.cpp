#include "actors/animation_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "actors/font.h"
#include "actors/stage.h"
#include "catalog/picture_files.h"
#include "support/files.h"
#include "support/test_sheets.h"
#include "support/text_chain.h"
#include "world/world.h"

namespace {

// Whatever a row's skips say, stepping must stay inside the row: a skip that lands before
// frame 0 would index before the frame array (running past the end is held at the last).
TEST(AnimationRows, NoSkipLeadsBeforeTheFirstFrame) {
    for (int row = 0; row < animationRowCount; ++row) {
        const AnimationRowData& r = animationRows[row];
        for (int j = 0; j < r.frameCount; ++j)
            EXPECT_GE(j + r.skips[j] + 1, 0) << "row " << row << " frame " << j;
    }
}

// The start-up build, on sheet files of the real names and sizes written by the test.

namespace fs = std::filesystem;

// Each sheet is filled with a red level of its own, so a sheet tells which file it is.
Rgb sheetColour(int k) { return Rgb{static_cast<uint8_t>(32 * (k + 1)), 255, 255}; }

// The engine's sheets in order: the sprite sheets, then the game's and the scroller's fonts.
const PictureFile& sheetFile(int k) {
    return k < spriteSheetCount ? spriteSheetFiles[k] : k == 5 ? gameFontFile : scrollerFontFile;
}

class BuildAnimationsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dataDir = makeTempDir("build_animations");
        fs::create_directories(dataDir / "g");
        for (int k = 0; k < 7; ++k) {
            const PictureFile& s = sheetFile(k);
            writeRaw24((dataDir / slashPath(s.file)).string(), s.width, s.height,
                       [&](int, int) { return sheetColour(k); });
        }
    }
    void SetUp() override {
        paths().dataDir = dataDir.string();
        buildAnimations();
    }
    void TearDown() override {
        clearWorld();
        releaseAnimations();
    }

    static inline fs::path dataDir;
    SavedPaths savedPaths;
    TestEngine te;
};

}  // namespace

TEST_F(BuildAnimationsTest, SheetsAndFontsComeFromTheirFilesInTableOrder) {
    ASSERT_EQ(te.engine.sheetCount(), 7);
    for (int k = 0; k < 7; ++k) {
        const PictureFile& s = sheetFile(k);
        SCOPED_TRACE(s.file);
        EXPECT_EQ(te.engine.sheetWidth(k), s.width);
        EXPECT_EQ(te.engine.sheetHeight(k), s.height);
        EXPECT_EQ(te.engine.cellWidth(k), s.cellWidth);
        EXPECT_EQ(te.engine.cellHeight(k), s.cellHeight);
        EXPECT_EQ(te.engine.sheetSurface(k)->pixels()[0], rgb565(sheetColour(k)));
    }
    ASSERT_TRUE(gameFont != nullptr && scrollerFont != nullptr);
    EXPECT_EQ(gameFont->sheet(), 5);
    EXPECT_EQ(scrollerFont->sheet(), 6);
}

TEST_F(BuildAnimationsTest, AFreshWorldHasTheLevelWordWaitingHiddenOnItsStage) {
    resetWorld();
    const auto chain = chainOf(game.levelText);
    std::vector<int> level;
    for (char c : std::string("level")) level.push_back(gameFont->cellFor(c));
    EXPECT_EQ(cellsOf(game.levelText), level);
    ASSERT_EQ(theStage.actorCount, 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(theStage.actorAt(i), chain[i]);
        EXPECT_FALSE(chain[i]->isVisible());
    }
}

TEST_F(BuildAnimationsTest, RowsStepAsTheGameExpects) {
    struct Case {
        int row;
        const char* cells;  // after each update of a freshly started row; "5x3" is 5 three times
    };
    const Case cases[] = {
        // the first two frames once, then frames 2 to 13 round and round
        {3, "1x5 2x5 3x2 4x2 5x2 6x2 5x2 4x2 3x2 7x2 8x2 9x2 8x2 7x2 3x2 4x2 5x2"},
        // emptying once, then empty for good
        {6, "5 4 3 2 1 0x20"},
        // the blade flickers on every update, then the stroke follows through and holds
        {33, "48 33 48 33 48 33 48 33 48 33 34 35x3 34 33x30"},
        // cut down, ending on the blank frame; frames 13 and 14 never show
        {40, "33x16 34x3 35x3 36x3 37x3 34x3 35x3 36x3 37x3 38x16 39x3 40x3 41x3 _x200"},
        // frame 0 only once, frames 4 to 10 never
        {48, "1 2 3 4 17 2 3 4 17 2 3 4 17"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.row));
        std::vector<int> want, seen;
        std::istringstream words(c.cells);
        for (std::string w; words >> w;) {
            auto x = w.find('x');
            want.insert(want.end(), x == std::string::npos ? 1 : std::stoi(w.substr(x + 1)),
                        w[0] == '_' ? -1 : std::stoi(w));
        }
        Actor actor(animations[5], 0, 0, 0.0, 0.0);
        actor.setAnimation(animations[c.row]);
        for (size_t i = 0; i < want.size(); ++i, seen.push_back(actor.currentFrame()->cell()))
            actor.update();
        EXPECT_EQ(seen, want);
    }
}

TEST_F(BuildAnimationsTest, BuildingAgainAfterReleaseStartsFresh) {
    releaseAnimations();
    EXPECT_EQ(animations[0], nullptr);
    EXPECT_EQ(gameFont, nullptr);

    TestEngine other;
    buildAnimations();
    EXPECT_EQ(other.engine.sheetCount(), 7);
    EXPECT_EQ(animations[5], animationById(animations[5]->id())) << "numbered afresh";
}
