#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "engine/frame_picture.h"
#include "engine/sprite_frame.h"
#include "support/test_sheets.h"
#include "world/world.h"

namespace {

uint16_t from24(int bits, Rgb c) {
    const uint8_t in[3] = {c.r, c.g, c.b};
    uint16_t out = 0xDEAD;
    convertPixels(in, &out, 24, bits, 1, 1);
    return out;
}

std::vector<uint8_t> to24(int bits, int destBits, uint16_t p) {
    std::vector<uint8_t> out(4, 0xEE);
    convertPixels(&p, out.data(), bits, destBits, 1, 1);
    return out;
}

using RawFiles = SheetTest;

}  // namespace

// Display pixels going back to file bytes at 16 bits are read back from a saved picture by
// screenshot_test.
TEST(ConvertPixels, FileColoursBecomeDisplayPixelsAndUnknownPairsWriteNothing) {
    struct Case {
        Rgb c;
        int bits;
        uint16_t expected;
    } cases[] = {
        {{255, 255, 255}, 16, 0xFFFF}, {{255, 255, 255}, 15, 0x7FFF}, {{8, 4, 8}, 16, 0x0821},
        {{7, 3, 7}, 16, 0x0000},  // too dark to survive: becomes the transparent key
        {{255, 0, 0}, 16, 0xF800},     {{0, 255, 0}, 16, 0x07E0},     {{0, 0, 255}, 16, 0x001F},
        {{255, 0, 0}, 15, 0x7C00},     {{0, 255, 0}, 15, 0x03E0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(from24(c.bits, c.c), c.expected)
            << int(c.c.r) << "," << int(c.c.g) << "," << int(c.c.b) << " to " << c.bits;
    EXPECT_EQ(to24(15, 24, 0x03E0), (std::vector<uint8_t>{0, 248, 0, 0xEE}));
    EXPECT_EQ(from24(32, {255, 255, 255}), 0xDEAD);
    EXPECT_EQ(to24(8, 16, 0xFFFF), (std::vector<uint8_t>(4, 0xEE)));
}

TEST_F(RawFiles, APicturePutUpShowsInItsOwnFrameAndStaysBehindTheNext) {
    writeRaw24(dir + "/pic.raw", 640, 480, [](int x, int y) {
        return Rgb{uint8_t(x), uint8_t(y), 200};
    });
    e.loadRawInto(e.pictureSurface(Picture::title), (dir + "/pic.raw").c_str(), 24, 0, 0, 640, 480);
    const uint16_t expected = rgb565({uint8_t(17), uint8_t(33), 200});
    FramePicture nothing;
    theBackdrop.beginStep();
    showPicture(Picture::title);
    e.showFrame(nothing, theBackdrop);
    for (Surface* s : {e.backgroundSurface(), e.backBuffer(), e.frontSurface()})
        EXPECT_EQ(pixelAt(s, 17, 33), expected);
    theBackdrop.beginStep();
    e.showFrame(nothing, theBackdrop);
    EXPECT_EQ(pixelAt(e.frontSurface(), 17, 33), expected);
}

// A picture that cannot be read shows black, and the message says why in one line (what else
// may stand in a file's place: file_readers_test); a short one is read up to where it ends.
TEST_F(RawFiles, UnreadableFilesShowBlackAndSayWhyShortOnesOnlyWhereTheyEnd) {
    writeFileBytes(dir + "/empty.raw", {});
    writeRaw24(dir + "/short.raw", 640, 2, [](int, int) { return Rgb{255, 255, 255}; });
    Surface* picture = e.pictureSurface(Picture::wall);
    auto load = [&](const std::string& name) {
        picture->fill(0x5555);
        return stderrOf([&] { e.loadRawInto(picture, (dir + name).c_str(), 24, 0, 0, 640, 480); });
    };
    for (const auto& [name, reason] :
         {std::pair{"/missing.raw", " is missing "}, std::pair{"/empty.raw", " is empty "}}) {
        std::string err = load(name);
        EXPECT_EQ(pixelAt(picture, 100, 100), 0) << name;
        EXPECT_NE(err.find(dir + name + reason), std::string::npos) << err;
    }
    EXPECT_EQ(load("/short.raw"), "");
    EXPECT_EQ((std::vector<int>{pixelAt(picture, 639, 1), pixelAt(picture, 0, 2)}),
              (std::vector<int>{0xFFFF, 0}));
}

TEST_F(RawFiles, AFileLongerThanThePictureIsCutNotOverrunAndSixteenBitFilesAreCopied) {
    // Twice the picture: the second half must never be read into anything.
    writeRaw24(dir + "/long.raw", 8, 8, [](int, int y) {
        return y < 4 ? Rgb{255, 0, 0} : Rgb{0, 0, 255};
    });
    writeFileBytes(dir + "/p.raw", {0x34, 0x12, 0x00, 0xF8});
    Surface small(8, 4), tiny(8, 2), s(2, 1);
    e.loadRawInto(&small, (dir + "/long.raw").c_str(), 24, 0, 0, 8, 4);
    // A caller claiming more pixels than the surface holds only fills the surface.
    e.loadRawInto(&tiny, (dir + "/long.raw").c_str(), 24, 0, 0, 8, 8);
    e.loadRawInto(&s, (dir + "/p.raw").c_str(), 16, 0, 0, 2, 1);
    EXPECT_EQ((std::vector<int>{pixelAt(&small, 7, 3), pixelAt(&tiny, 7, 1), pixelAt(&s, 0, 0),
                                pixelAt(&s, 1, 0)}),
              (std::vector<int>{0xF800, 0xF800, 0x1234, 0xF800}));
}

class SpriteFrames : public RawFiles {
protected:
    void SetUp() override {
        // Two rows of two 4 x 3 cells, numbered row by row, and a lit column left over at the
        // right that is no cell's (as on the climber sheet); in cell 3 only the top-left,
        // top-right and bottom-left pixels show.
        sheet = t.addSheet(dir, "s.raw", 9, 6, 4, 3, [](int x, int y) {
            bool lit = x == 8 || (x == 4 && y == 3) || (x == 5 && y == 3) || (x == 4 && y == 5);
            return lit ? Rgb{200, 200, 200} : Rgb{7, 3, 7};
        });
    }
    int sheet = -1;
};

TEST_F(SpriteFrames, TheMaskShowsTheCellAsItIsDrawn) {
    // Cell 3, as drawn: row 0 = X X . . ; row 2 = X . . .
    struct Case {
        bool mx, my;
        const char* rows;
    } cases[] = {
        {false, false,
         "XX.."
         "...."
         "X..."},
        {true, false,
         "..XX"
         "...."
         "...X"},
        {true, true,
         "...X"
         "...."
         "..XX"},
    };
    for (const Case& c : cases) {
        SpriteFrame f(sheet, c.mx, c.my, 0, 0, 3, &e);
        ASSERT_TRUE(f.hasMask());
        // What the mask says must be what the renderer puts on screen.
        Surface* bb = e.backBuffer();
        bb->fill(0);
        e.drawCell(sheet, 3, 10, 10, c.mx, c.my, bb, true);
        std::string got, drawn;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                got += f.isOpaque(x, y) ? 'X' : '.';
                drawn += pixelAt(bb, 10 + x, 10 + y) != 0 ? 'X' : '.';
            }
        EXPECT_EQ(got, c.rows) << "mirrorX " << c.mx << " mirrorY " << c.my;
        EXPECT_EQ(drawn, c.rows) << "mirrorX " << c.mx << " mirrorY " << c.my;
        EXPECT_EQ(std::count(bb->pixels(), bb->pixels() + 640 * 480, 0), 640 * 480 - 3)
            << "drawn beyond the cell";
    }
}

TEST_F(SpriteFrames, BlankFramesHaveNoMaskAndFramesOfMissingSheetsOrCellsSeeNothing) {
    SpriteFrame blank(sheet, false, false, 0, 0, -1, &e);
    blank.setCell(1);
    EXPECT_FALSE(blank.hasMask());
    SpriteFrame noSheet(5, false, false, 0, 0, 0, &e);
    SpriteFrame noEngine(0, false, false, 0, 0, 0, nullptr);
    SpriteFrame pastTheEnd(sheet, false, false, 0, 0, 4, &e);
    ASSERT_TRUE(noSheet.hasMask() && noEngine.hasMask() && pastTheEnd.hasMask());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_FALSE(pastTheEnd.isOpaque(x, y));
}
