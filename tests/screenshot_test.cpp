#include "engine/screenshot.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "program/screenshot_name.h"
#include "support/files.h"
#include "support/test_sheets.h"

namespace {

// A little-endian number of `size` bytes.
uint32_t le(const std::vector<uint8_t>& b, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}
std::vector<uint8_t> bytesAt(const std::vector<uint8_t>& b, size_t at, size_t n) {
    return std::vector<uint8_t>(b.begin() + static_cast<long>(at),
                                b.begin() + static_cast<long>(at + n));
}
void setPixel(Surface& s, int x, int y, uint16_t v) {
    s.lock()[y * s.width() + x] = v;
    s.unlock();
}

// The name after `name` in the screenshot series.
std::string after(const char* name) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s", name);
    advanceScreenshotName(buffer, sizeof buffer);
    return buffer;
}
}  // namespace

TEST(Screenshot, AFullScreenPictureIsABottomUpTwentyFourBitBmp) {
    std::string path = makeTempDir("shot") + "/shot.bmp";
    Surface screen(640, 480);
    // Red top-left, blue top-right, green then white bottom-left.
    for (auto [x, y, v] :
         {std::tuple{0, 0, 0xF800}, {639, 0, 0x001F}, {0, 479, 0x07E0}, {1, 479, 0xFFFF}})
        setPixel(screen, x, y, static_cast<uint16_t>(v));
    ASSERT_EQ(saveScreenshot(&screen, path.c_str()), 0);
    EXPECT_FALSE(screen.isLocked());

    std::vector<uint8_t> b = readFileBytes(path);
    ASSERT_EQ(b.size(), 921654u);
    EXPECT_EQ(bytesAt(b, 0, 2), (std::vector<uint8_t>{'B', 'M'}));
    struct Field {
        size_t offset;
        int size;
        uint32_t value;
    } fields[] = {
        {2, 4, 921654}, {6, 4, 0},  {10, 4, 54}, {14, 4, 40}, {18, 4, 640},
        {22, 4, 480},   {26, 2, 1}, {28, 2, 24}, {30, 4, 0},  {34, 4, 0},
        {38, 4, 0},     {42, 4, 0}, {46, 4, 26}, {50, 4, 0},
    };
    for (const Field& f : fields)
        EXPECT_EQ(le(b, f.offset, f.size), f.value) << "header offset " << f.offset;

    EXPECT_EQ(bytesAt(b, 919734, 3), (std::vector<uint8_t>{0, 0, 248}));
    EXPECT_EQ(bytesAt(b, 919734 + 639 * 3, 3), (std::vector<uint8_t>{248, 0, 0}));
    EXPECT_EQ(bytesAt(b, 54, 6), (std::vector<uint8_t>{0, 252, 0, 248, 252, 248}));
    EXPECT_EQ(bytesAt(b, 57 + 3, 3), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(Screenshot, AnOddMiddleRowStaysInPlace) {
    std::string path = makeTempDir("odd") + "/odd.bmp";
    Surface s(1, 3);
    for (int y = 0; y < 3; ++y) setPixel(s, 0, y, (uint16_t[]){0xF800, 0x07E0, 0x001F}[y]);
    ASSERT_EQ(saveScreenshot(&s, path.c_str()), 0);
    std::vector<uint8_t> b = readFileBytes(path);
    ASSERT_EQ(b.size(), 54u + 9u);
    EXPECT_EQ(bytesAt(b, 54, 9), (std::vector<uint8_t>{248, 0, 0, 0, 252, 0, 0, 0, 248}));
}

TEST(Screenshot, TheEngineSavesThePictureOnScreenUnderItsGameName) {
    const SavedPaths saved;
    paths().screenshotDir = makeTempDir("snaps") + "/screenshots";
    TestEngine t;
    t.engine.backBuffer()->fill(0x07E0);
    t.engine.display()->flip();  // what was composed is now on screen
    t.engine.backBuffer()->fill(0xF800);
    EXPECT_EQ(t.engine.saveScreenshot("c:\\snap00.bmp"), 0);
    std::vector<uint8_t> b = readFileBytes(paths().screenshotDir + "/snap00.bmp");
    ASSERT_EQ(b.size(), 921654u);
    EXPECT_EQ(bytesAt(b, 54, 3), (std::vector<uint8_t>{0, 252, 0}));
    EXPECT_EQ(saveScreenshot(nullptr, "unused.bmp"), 1);
}

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
