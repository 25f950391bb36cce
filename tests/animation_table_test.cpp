#include "actors/animation_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "actors/font.h"
#include "shell/paths.h"
#include "support/sheet_files.h"
#include "support/test_sheets.h"
#include "support/text_chain.h"

namespace {

// The animation table written out a second time, by hand and in another shape, so that a
// slip in either copy shows up as a difference.
//
//   "sheet | frames | mirror | hot x | hot y"
//   frames: cell/duration, ":skip" after a non-zero skip, "_" for a blank cell,
//           "@N" for the frames of row N
//   mirror: "-" none, "X" left-right on every frame
//   hot x, hot y: one value for every frame, or one per frame; "v*n" repeats v n times
const std::map<int, std::string> listing = {
    {0, "4 | 33/255:-1 | - | 0 | 0"},
    {1, "4 | 34/255:-1 | - | 0 | 0"},
    {2, "4 | 35/255:-1 | - | 0 | 0"},
    {3, "0 | 1/8 2/8 3/4 4/4 5/4 6/4 5/4 4/4 3/4 7/4 8/4 9/4 8/4 7/4:-12 | - | 0 | 0"},
    {4, "0 | @3 | X | 0 | 0"},
    {5, "0 | 0/255:-1 | - | 0 | 0"},
    {6, "1 | 5/2 4/2 3/2 2/2 1/2 0/2:-1 | - | 0 | 0"},
    {7, "1 | @6 | X | 0 | 0"},
    {8, "1 | 0/2 1/2 2/2 3/2 4/2 5/2 _/255:-1 | - | 0 | 0"},
    {9, "1 | @8 | X | 0 | 0"},
    {10, "2 | 0/255:-1 | - | 0 | 0"},
    {11,
     "0 | 10/6 11/6 12/6 13/6 12/6 11/6 10/6 14/6 15/6 16/6 15/6 14/6:-12 | - "
     "| 0*8 14*3 0 | 0"},
    {12, "0 | @11 | X | 0*8 -20*3 0 | 0"},
    {13, "0 | 17/255:-1 | - | 0 | 0"},
    {14, "0 | 18/5 19/5 20/5 21/5:-1 | - | 0 | 0"},
    {15, "3 | 0/5 1/5 2/5 1/5 0/5 3/5 4/5 3/5:-8 | - | 0 | 0"},
    {16, "3 | @15 | X | 0 | 0"},
    {17, "3 | 5/8 6/8 7/8 8/8 9/8 10/8 11/8 12/8 13/8 5/8:-10 | - | 0 | -43"},
    {18, "3 | 5/7 6/7 7/7 8/7 9/7 10/7 11/7 12/7 13/7 5/7:-10 | - | 0 | -43"},
    {19, "3 | 5/6 6/6 7/6 8/6 9/6 10/6 11/6 12/6 13/6 5/6:-10 | - | 0 | -43"},
    {20, "3 | 5/4 6/4 7/4 8/4 9/4 10/4 11/4 12/4 13/4 5/4:-10 | - | 0 | -43"},
    {21, "3 | 14/8 15/8 16/8 17/8 18/8 19/8 20/8:-1 | - | 0 | -25"},
    {22, "3 | 22/5 22/5:-2 | - | 0 | 0 2"},
    {23, "3 | @22 | X | 0 | 0 2"},
    {24, "3 | 21/10 22/2 23/2 24/2 25/20 24/8 23/8 22/8:-8 | - | 0 | 0"},
    {25, "3 | @24 | X | 0 | 0"},
    {26, "3 | 5/255:-1 | - | 0 | -43"},
    {27, "0 | 22/255:-1 | - | 0 | 0"},
    {28, "4 | 0/255:-1 | - | 0 | 0"},
    {29,
     "0 | 23/8 24/8 25/8 26/8 25/8 24/8 23/8 27/8 28/8 27/8:-10 | - | 0 "
     "| 0 -2 0 -2 0 -2 0 -2 0 -2"},
    {30, "0 | @29 | X | 0 | 0 -2 0 -2 0 -2 0 -2 0 -2"},
    {31, "0 | 29/4 30/16 31/2 32/2:-1 | - | 20 | 0 -2 0 -2"},
    {32, "0 | @31 | X | -20 | 0 -2 0 -2"},
    {33,
     "0 | 33/1 48/1 33/1 48/1 33/1 48/1 33/1 48/1 33/1 48/1 33/1 34/2 35/6 34/2 "
     "33/255:-1 | - | 30*11 40 50 40 30 | 0 -2 0 -2 0 -2 0 -2 0 -2 0 -2 0 -2 0"},
    {34, "0 | @33 | X | -30*11 -40 -50 -40 -30 | 0 -2 0 -2 0 -2 0 -2 0 -2 0 -2 0 -2 0"},
    {35, "0 | 36/6 37/6 38/6 39/6 38/6 37/6:-1 | - | 45 | 0"},
    {36, "0 | @35 | X | -45 | 0"},
    {37, "0 | 40/255:-1 | X | 0 | 0"},
    {38, "3 | 26/15 27/6 28/15 29/3 30/3 31/3 32/3 _/255 | - | 0 | 0"},
    {39, "3 | @38 | X | 0 | 0"},
    {40,
     "3 | 33/25 34/5 35/5 36/5 37/5 34/5 35/5 36/5 37/5 38/25 39/5 40/5 41/5:33 "
     "5/34:5 35/5 _/255 | - | 0 | 0"},
    {41, "3 | @40 | X | 0 | 0"},
    {42, "3 | 45/12 46/4 47/4 48/4 49/4 50/4 _/255:-1 | - | 0 | 0"},
    {43, "3 | @42 | X | 0 | 0"},
    {44, "0 | 23/1 23/1:-2 | - | 0 | 0 -2"},
    {45, "0 | @44 | X | 0 | 0 -2"},
    {46, "4 | 5/2 6/2 7/2 8/2 9/2 10/2 11/2 12/2:-7 | X | 0 | 0"},
    {47, "4 | @46 | - | 0 | 0"},
    {48, "4 | 1/2 2/2 3/2 4/2:10 1/2 11/2 12/2 13/2 14/2 15/2 16/2 17/2:-11 | X | 0 | 0"},
    {49, "4 | @48 | - | 0 | 0"},
    {50, "0 | 41/1 42/1 _/255:-1 | - | 0 | 0"},
    {51, "4 | 30/255:-1 | - | 0 | 0"},
    {52, "4 | 31/255:-1 | - | 0 | 0"},
    {53, "4 | 32/255:-1 | - | 0 | 0"},
    {54, "4 | 27/255:-1 | - | 0 | 0"},
    {55, "4 | 28/255:-1 | - | 0 | 0"},
    {56, "4 | 29/255:-1 | - | 0 | 0"},
    {57, "0 | 43/255:-1 | - | 0 | 0"},
};

struct ListedFrame {
    int cell, duration, skip, mirror, hotX, hotY;
};
struct ListedRow {
    int sheet = -1;
    std::vector<ListedFrame> frames;
};

// The non-empty parts of s between separators.
std::vector<std::string> split(const std::string& s, char sep = ' ') {
    std::vector<std::string> parts;
    std::stringstream in(s);
    std::string part;
    while (std::getline(in, part, sep))
        if (!part.empty()) parts.push_back(part);
    return parts;
}

// Runs of repeated values: "30*11 40" with times = '*' is 30 eleven times, then 40; "_" is
// a blank cell (-1).
std::vector<int> expand(const std::string& field, char times) {
    std::vector<int> values;
    for (const std::string& w : split(field)) {
        auto at = w.find(times);
        values.insert(values.end(), at == std::string::npos ? 1 : std::stoi(w.substr(at + 1)),
                      w[0] == '_' ? -1 : std::stoi(w));
    }
    return values;
}

// Authored durations and the update counts the game is timed by.
const std::map<int, int> scaledUpdates = {
    {1, 0},  {2, 1},  {3, 1},  {4, 2},   {5, 3},   {6, 3},   {7, 4},   {8, 5},
    {10, 6}, {12, 7}, {15, 9}, {16, 10}, {20, 13}, {25, 16}, {34, 22}, {255, 165},
};

ListedRow listedRow(int row) {
    const auto fields = split(listing.at(row), '|');
    EXPECT_EQ(fields.size(), 5u) << "row " << row;
    ListedRow out{std::stoi(fields[0]), {}};
    const auto words = split(fields[1]);
    if (words[0][0] == '@') out.frames = listedRow(std::stoi(words[0].substr(1))).frames;
    for (size_t i = 0; words[0][0] != '@' && i < words.size(); ++i) {
        const std::string& w = words[i];
        auto colon = w.find(':');
        out.frames.push_back({w[0] == '_' ? -1 : std::stoi(w), std::stoi(w.substr(w.find('/') + 1)),
                              colon == std::string::npos ? 0 : std::stoi(w.substr(colon + 1)), 0, 0, 0});
    }
    // A single hot spot value is spread over every frame.
    std::vector<int> hot[2];
    for (int i : {0, 1}) {
        hot[i] = expand(fields[3 + i], '*');
        if (hot[i].size() == 1) hot[i].assign(out.frames.size(), hot[i][0]);
        EXPECT_EQ(hot[i].size(), out.frames.size()) << "row " << row;
        hot[i].resize(out.frames.size(), 9999);
    }
    for (size_t j = 0; j < out.frames.size(); ++j)
        out.frames[j].mirror = fields[2].find('X') != std::string::npos, out.frames[j].hotX = hot[0][j],
        out.frames[j].hotY = hot[1][j];
    return out;
}

// Whatever a row's skips say, stepping must stay inside the row: a skip that lands before
// frame 0 would index before the frame array (running past the end is held at the last).
TEST(AnimationRows, NoSkipLeadsBeforeTheFirstFrame) {
    for (int row = 0; row < animationRowCount; ++row) {
        const AnimationRowData& r = animationRows[row];
        for (int j = 0; j < r.frameCount; ++j)
            EXPECT_GE(j + r.skips[j] + 1, 0) << "row " << row << " frame " << j;
    }
}

TEST(AnimationRows, DurationsScaleToTheUpdateCountsTheGameIsTimedBy) {
    for (auto [authored, updates] : scaledUpdates)
        EXPECT_EQ(scaledDuration(authored), updates) << authored;
}

// The start-up build, on sheet files of the real names and sizes written by the test.

namespace fs = std::filesystem;

// Sheet k carries a red level of its own in the top-left pixel of every cell and nothing
// else, so a frame's mask tells which way round it was cut and the sheet which file it is.
Rgb sheetColour(int k) { return Rgb{static_cast<uint8_t>(32 * (k + 1)), 255, 255}; }

void writeTestSheets(const fs::path& dataDir) {
    fs::create_directories(dataDir / "g");
    for (int k = 0; k < 7; ++k) {
        const PictureFile& s = kSheetFiles[k];
        writeRaw24((dataDir / "g" / s.name).string(), s.width, s.height, [&](int x, int y) {
            return x % s.cellWidth == 0 && y % s.cellHeight == 0 ? sheetColour(k) : Rgb{};
        });
    }
}

class BuildAnimationsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dataDir = makeTempDir("build_animations");
        writeTestSheets(dataDir);
    }
    void SetUp() override {
        savedPaths = paths();
        paths().dataDir = dataDir.string();
    }
    void TearDown() override {
        if (levelText != nullptr) levelText->removeTreeFrom(&te.engine);
        releaseAnimations();
        paths() = savedPaths;
    }

    // The cells an actor shows after each of n updates of a freshly started row.
    std::vector<int> play(int row, int n, Actor& actor) {
        actor.setAnimation(animations[row]);
        std::vector<int> cells;
        for (int i = 0; i < n; ++i) {
            actor.update();
            cells.push_back(actor.currentFrame()->cell());
        }
        return cells;
    }

    static inline fs::path dataDir;
    Paths savedPaths;
    TestEngine te;
};

}  // namespace

TEST_F(BuildAnimationsTest, SheetsAndFontsComeFromTheirFilesInTableOrder) {
    buildAnimations();
    ASSERT_EQ(te.engine.sheetCount(), 7);
    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE(kSheetFiles[k].name);
        EXPECT_EQ(te.engine.sheetWidth(k), kSheetFiles[k].width);
        EXPECT_EQ(te.engine.sheetHeight(k), kSheetFiles[k].height);
        EXPECT_EQ(te.engine.cellWidth(k), kSheetFiles[k].cellWidth);
        EXPECT_EQ(te.engine.cellHeight(k), kSheetFiles[k].cellHeight);
        EXPECT_TRUE(te.engine.sheetDrawable(k));
        EXPECT_EQ(te.engine.sheetSurface(k)->pixels()[0], rgb565(sheetColour(k)));
    }
    ASSERT_NE(gameFont, nullptr);
    ASSERT_NE(scrollerFont, nullptr);
    EXPECT_EQ(gameFont->sheet(), 5);
    EXPECT_EQ(scrollerFont->sheet(), 6);
    for (Font* f : {gameFont, scrollerFont}) EXPECT_EQ(f->cellFor('0'), 52);
}

TEST_F(BuildAnimationsTest, TableAndEveryBuiltRowMatchTheHandWrittenListing) {
    buildAnimations();
    ASSERT_EQ(listing.size(), static_cast<size_t>(animationRowCount));
    for (int row = 0; row < animationRowCount; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const ListedRow want = listedRow(row);
        const Animation* a = animations[row];
        ASSERT_NE(a, nullptr);
        ASSERT_EQ(a->frameCount(), static_cast<int>(want.frames.size()));
        ASSERT_EQ(animationRows[row].frameCount, a->frameCount());
        for (int j = 0; j < a->frameCount(); ++j) {
            SCOPED_TRACE("frame " + std::to_string(j));
            const ListedFrame& f = want.frames[j];
            const SpriteFrame* frame = a->frame(j);
            EXPECT_EQ(frame->sheet(), want.sheet);
            EXPECT_EQ(frame->cell(), f.cell);
            // The table's own durations, as several scale to the same update count.
            EXPECT_EQ(animationRows[row].durations[j], f.duration);
            EXPECT_EQ(a->duration(j), scaledUpdates.at(f.duration));
            EXPECT_EQ(a->skip(j), f.skip);
            EXPECT_EQ(frame->mirrorX(), f.mirror == 1);
            EXPECT_FALSE(frame->mirrorY());
            EXPECT_EQ(frame->hotX(), f.hotX);
            EXPECT_EQ(frame->hotY(), f.hotY);
            // Masks are cut in the drawn orientation: the marked top-left pixel of the cell
            // lands on the right when the frame is mirrored.
            EXPECT_EQ(frame->hasMask(), f.cell >= 0);
            if (frame->hasMask()) {
                const int right = frame->cellWidth() - 1;
                EXPECT_EQ(frame->isOpaque(0, 0), f.mirror == 0);
                EXPECT_EQ(frame->isOpaque(right, 0), f.mirror == 1);
            }
        }
    }
}

TEST_F(BuildAnimationsTest, LevelWordAndSplatsAreReadyAfterStartUp) {
    buildAnimations();
    ASSERT_NE(levelText, nullptr);
    const auto chain = chainOf(levelText);
    EXPECT_EQ(cellsOf(levelText), (std::vector<int>{37, 30, 47, 30, 37}));
    ASSERT_EQ(te.engine.actorCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(te.engine.actorAt(i), chain[i]);
        EXPECT_FALSE(chain[i]->isVisible());
        EXPECT_EQ(chain[i]->currentFrame()->sheet(), 5);
        EXPECT_EQ(chain[i]->offsetX(), i == 0 ? 0 : 48);
    }
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(largeSplat[i] != nullptr && smallSplat[i] != nullptr);
        EXPECT_EQ(largeSplat[i]->sheet(), 4);
        EXPECT_EQ(smallSplat[i]->sheet(), 4);
        EXPECT_EQ(largeSplat[i]->cell(), 21 + i);
        EXPECT_EQ(smallSplat[i]->cell(), 24 + i);
    }
}

TEST_F(BuildAnimationsTest, RowsStepAsTheGameExpects) {
    buildAnimations();
    struct Case {
        int row;
        const char* cells;  // after each update of a freshly started row
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
        const std::vector<int> want = expand(c.cells, 'x');
        Actor fresh(animations[5], 0, 0, 0.0, 0.0);
        EXPECT_EQ(play(c.row, static_cast<int>(want.size()), fresh), want);
    }
    Actor actor(animations[5], 0, 0, 0.0, 0.0);
    // The blank end of row 40 leaves the actor where it was.
    actor.setPosition(300, 200);
    play(40, 150, actor);
    EXPECT_EQ(actor.x(), 300);
    EXPECT_EQ(actor.currentFrame()->cell(), -1);
}

TEST_F(BuildAnimationsTest, BuildingAgainAfterReleaseStartsFresh) {
    buildAnimations();
    levelText->removeTreeFrom(&te.engine);
    releaseAnimations();
    EXPECT_EQ(animations[0], nullptr);
    EXPECT_EQ(levelText, nullptr);

    TestEngine other;
    buildAnimations();
    EXPECT_EQ(other.engine.sheetCount(), 7);
    EXPECT_EQ(other.engine.actorCount(), 5);
    EXPECT_NE(animations[0], nullptr);
    levelText->removeTreeFrom(&other.engine);
    releaseAnimations();
}

// The pictures the build generates must give every frame of the table something to show
// and to collide with.
TEST(BuildAnimationsOnGameData, EveryFrameOfTheTableHasPixels) {
    const fs::path data = PARAPET_DATA_DIR;
    if (!fs::exists(data / "g" / kSheetFiles[0].name)) GTEST_SKIP() << "no generated data";

    Paths saved = paths();
    paths().dataDir = data.string();
    TestEngine te;
    buildAnimations();
    for (int row = 0; row < animationRowCount; ++row) {
        const Animation* a = animations[row];
        for (int j = 0; j < a->frameCount(); ++j) {
            const SpriteFrame* f = a->frame(j);
            if (f->cell() < 0) continue;
            bool any = false;
            for (int y = 0; y < f->cellHeight() && !any; ++y)
                for (int x = 0; x < f->cellWidth() && !any; ++x) any = f->isOpaque(x, y);
            EXPECT_TRUE(any) << "row " << row << " frame " << j << " cell " << f->cell();
        }
    }
    levelText->removeTreeFrom(&te.engine);
    releaseAnimations();
    paths() = saved;
}
