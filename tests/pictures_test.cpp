// The generated pictures as the game will read them: exact sizes, clean transparency, a
// drawing in every cell the animations show and none elsewhere, glyphs for every character
// the game writes, and figures standing where the game expects their feet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "actors/animation_table.h"
#include "actors/font.h"
#include "animation_listing.h"
#include "catalog/picture_files.h"
#include "support/files.h"
#include "support/world_fixture.h"

namespace {
namespace fs = std::filesystem;

// The game's colour key: a pixel is transparent when its 5-6-5 value is 0.
bool keyedOut(const uint8_t* p) { return p[0] < 8 && p[1] < 4 && p[2] < 8; }

struct FileImage {
    std::vector<uint8_t> rgb;
    int width = 0, height = 0, cellWidth = 0, cellHeight = 0;

    int columns() const { return width / cellWidth; }
    int cellCount() const { return columns() * (height / cellHeight); }
    const uint8_t* pixel(int cell, int x, int y) const {
        int px = (cell % columns()) * cellWidth + x, py = (cell / columns()) * cellHeight + y;
        return &rgb[(size_t(py) * width + px) * 3];
    }
    int opaqueCount(int cell) const {
        int n = 0;
        for (int y = 0; y < cellHeight; ++y)
            for (int x = 0; x < cellWidth; ++x) n += !keyedOut(pixel(cell, x, y));
        return n;
    }
    // Lowest opaque row of the cell, -1 if empty.
    int lowestRow(int cell) const {
        for (int y = cellHeight - 1; y >= 0; --y)
            for (int x = 0; x < cellWidth; ++x)
                if (!keyedOut(pixel(cell, x, y))) return y;
        return -1;
    }
    double meanColumn(int cell) const {
        double sum = 0;
        int n = 0;
        for (int y = 0; y < cellHeight; ++y)
            for (int x = 0; x < cellWidth; ++x)
                if (!keyedOut(pixel(cell, x, y))) sum += x, ++n;
        return n ? sum / n : -1;
    }
};

FileImage loadLayout(const PictureFile& f) {
    return {readFileBytes(fs::path(PARAPET_DATA_DIR) / slashPath(f.file)), f.width, f.height,
            f.cellWidth, f.cellHeight};
}
}  // namespace

// A dark outline pixel that happened to fall into the key range would punch a hole in the
// sprite; only the untouched background may be black, and it must be pure black.
TEST(Pictures, EveryFileHasItsSizeAndSheetsAreBlackOnlyWhereTransparent) {
    for (const PictureFile& f :
         {titleFile, wallFile, spriteSheetFiles[0], spriteSheetFiles[1], spriteSheetFiles[2],
          spriteSheetFiles[3], spriteSheetFiles[4], gameFontFile, scrollerFontFile, dustFile}) {
        SCOPED_TRACE(f.file);
        FileImage p = loadLayout(f);
        ASSERT_EQ(p.rgb.size(), size_t(f.width) * f.height * 3);
        if (f.cellWidth == f.width) continue;  // full-screen pictures have no key
        int bad = 0, nearBlack = 0, outside = 0;
        int cols = f.width / f.cellWidth, rows = f.height / f.cellHeight;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const uint8_t* px = &p.rgb[(size_t(y) * f.width + x) * 3];
                bad += keyedOut(px) && (px[0] | px[1] | px[2]) != 0;
                // Edges blended towards the black background would show as a dark fringe.
                nearBlack += !keyedOut(px) && std::max({px[0], px[1], px[2]}) < 24;
                // Pixels outside every cell are never drawn by the game and stay empty.
                outside += (x >= cols * f.cellWidth || y >= rows * f.cellHeight) && !keyedOut(px);
            }
        EXPECT_EQ(bad, 0);
        EXPECT_EQ(nearBlack, 0);
        EXPECT_EQ(outside, 0);
    }
}

// The generator's listing names the cells the game shows (animation_table_test holds the
// game's table to it): each must hold a drawing, and no other cell may.
TEST(Pictures, ExactlyTheCellsTheGameShowsAreDrawn) {
    for (int sheet = defenderSheet; sheet <= weaponSheet; ++sheet) {
        FileImage p = loadLayout(spriteSheetFiles[sheet]);
        for (int cell = 0; cell < p.cellCount(); ++cell) {
            SCOPED_TRACE(std::string(spriteSheetFiles[sheet].file) + " cell " +
                         std::to_string(cell));
            if (listedCell(sheet, cell))
                EXPECT_GT(p.opaqueCount(cell), 20);
            else
                EXPECT_EQ(p.opaqueCount(cell), 0);
        }
    }
}

// The game's own fonts, built as at start-up, look up the glyphs in the generated files.
using PictureFonts = WorldFixture;

TEST_F(PictureFonts, HaveAGlyphForEveryCharacterTheGameWrites) {
    FileImage gameGlyphs = loadLayout(gameFontFile), scroller = loadLayout(scrollerFontFile);
    std::string letters;
    for (char c = 'A'; c <= 'Z'; ++c) letters += c;
    for (char c = 'a'; c <= 'z'; ++c) letters += c;
    for (char c = '0'; c <= '9'; ++c) letters += c;
    // The game font holds only the first 70 glyphs; the scroller's texts add punctuation.
    for (char c : letters + "!\"#$%&'(")
        EXPECT_GT(gameGlyphs.opaqueCount(gameFont->cellFor(c)), 30) << "game font '" << c << "'";
    for (char c : letters + "():.*-!?,'@")
        EXPECT_GT(scroller.opaqueCount(scrollerFont->cellFor(c)), 3)
            << "scroller font '" << c << "'";
    for (int cell = 84; cell < scroller.cellCount(); ++cell)
        EXPECT_EQ(scroller.opaqueCount(cell), 0) << "scroller cell " << cell;
    // Glyphs that look alike would make names and scores unreadable.
    EXPECT_NE(gameGlyphs.opaqueCount(gameFont->cellFor('O')),
              gameGlyphs.opaqueCount(gameFont->cellFor('0')));
    std::set<std::vector<uint8_t>> shapes;
    for (char c : letters) {
        std::vector<uint8_t> mask;
        int cell = scrollerFont->cellFor(c);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 12; ++x) mask.push_back(!keyedOut(scroller.pixel(cell, x, y)));
        shapes.insert(mask);
    }
    EXPECT_GE(shapes.size(), letters.size() - 2);  // l/1 and O/0 may come close
}

// Where the game places a sprite is fixed by its hot spot; the drawing has to put the feet
// on the walkway or the ground line and the body where balls drop from.
TEST(Pictures, FiguresStandWhereTheGamePutsThem) {
    FileImage d = loadLayout(spriteSheetFiles[defenderSheet]);
    FileImage c = loadLayout(spriteSheetFiles[climberSheet]);
    struct Foot {
        const FileImage* pic;
        const char* what;
        int cell, lowest, tolerance;  // lowest: the expected lowest opaque row
    };
    const Foot feet[] = {
        {&d, "defender standing", 0, 64, 2},    {&d, "defender running", 6, 64, 3},
        {&d, "defender with ball", 17, 64, 2},  {&d, "defender with chainsaw", 23, 64, 2},
        {&d, "herald on the tower", 43, 66, 1}, {&c, "climber walking", 0, 130, 2},
        {&c, "climber walking", 4, 130, 3},     {&c, "climber climbing", 5, 87, 3},
        {&c, "climber climbing", 9, 87, 3},     {&c, "climber on the top", 22, 125, 3},
        {&c, "climber striking", 25, 125, 3},   {&c, "climber over the top", 20, 55, 4},
    };
    for (const auto& f : feet)
        EXPECT_NEAR(f.pic->lowestRow(f.cell), f.lowest, f.tolerance) << f.what << " " << f.cell;
    // Balls are released at column 37..53: the thrower's body has to be over that spot.
    EXPECT_NEAR(d.meanColumn(0), 45, 5);
    EXPECT_NEAR(d.meanColumn(18), 45, 6);
    // The strokes are drawn further right and moved back by their hot spots.
    EXPECT_GT(d.meanColumn(29), d.meanColumn(23));
    EXPECT_GT(d.meanColumn(36), d.meanColumn(29));
}

TEST(Pictures, WallFaceIsLightEnoughForBloodAndTheSkyIsAbove) {
    FileImage wall = loadLayout(wallFile), weapons = loadLayout(spriteSheetFiles[weaponSheet]);
    auto mean = [&](int y0, int y1, int channel) {
        double s = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < 640; ++x) s += wall.rgb[(size_t(y) * 640 + x) * 3 + channel];
        return s / ((y1 - y0) * 640.0);
    };
    double faceGreen = mean(140, 440, 1), faceRed = mean(140, 440, 0);
    double bloodGreen = 0, n = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (!keyedOut(weapons.pixel(21, x, y))) bloodGreen += weapons.pixel(21, x, y)[1], ++n;
    ASSERT_GT(n, 0);
    bloodGreen /= n;
    // Blood is red with little green; the stone needs plenty of green to set it off.
    EXPECT_GT(faceGreen - bloodGreen, 80);
    EXPECT_GT(faceRed, 120);
    // The sky above the walkway is a different colour from the stones below it.
    EXPECT_GT(std::abs(mean(10, 60, 2) - mean(140, 440, 2)) + std::abs(mean(10, 60, 1) - faceGreen),
              40);
}

// Rows come in pairs that show the same frames facing the other way; a typo in one half
// would make a figure change pose when it turns round.
TEST(Pictures, MirroredRowPairsShowTheSameFrames) {
    const int pairs[][2] = {{rowRunLeft, rowRunRight},
                            {rowMagazineLeft, rowMagazineRight},
                            {rowUnusedMagazine, rowUnusedMagazineMirrored},
                            {rowRunLeftWithBall, rowRunRightWithBall},
                            {rowClimberWalkInLeft, rowClimberWalkInRight},
                            {rowClimberWalkLeft, rowClimberWalkRight},
                            {rowClimberStrikeLeft, rowClimberStrikeRight},
                            {rowRunLeftWithChainsaw, rowRunRightWithChainsaw},
                            {rowStrokeALeft, rowStrokeARight},
                            {rowStrokeBLeft, rowStrokeBRight},
                            {rowStrokeCLeft, rowStrokeCRight},
                            {rowCutByStrokeA, rowCutByStrokeAMirrored},
                            {rowCutByStrokeC, rowCutByStrokeCMirrored},
                            {rowCutByStrokeB, rowCutByStrokeBMirrored},
                            {rowStandWithChainsawLeft, rowStandWithChainsawRight},
                            {rowLimbOfStrokeCMirrored, rowLimbOfStrokeC},
                            {rowLimbOfStrokeAMirrored, rowLimbOfStrokeA}};
    for (const auto& p : pairs) {
        SCOPED_TRACE(::testing::Message() << "rows " << p[0] << "/" << p[1]);
        const AnimationRowData& a = animationRows[p[0]];
        const AnimationRowData& b = animationRows[p[1]];
        EXPECT_EQ(a.sheet, b.sheet);
        ASSERT_EQ(a.frameCount, b.frameCount);
        EXPECT_NE(mirroredRow(a), mirroredRow(b));
        EXPECT_TRUE(std::equal(a.cells, a.cells + a.frameCount, b.cells));
        EXPECT_TRUE(std::equal(a.hotY, a.hotY + a.frameCount, b.hotY));
        // A stroke's hot spot pulls the drawing back towards the body on either side.
        for (int f = 0; f < a.frameCount; ++f)
            EXPECT_EQ(a.hotX[f] > 0, b.hotX[f] < 0) << "frame " << f;
    }
}
