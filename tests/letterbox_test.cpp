#include "platform/sdl/letterbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// The whole mode is the plain letterbox: centred at the largest whole scale that fits. The
// handheld's 1280 x 800 gets only a whole scale of 1 (60% of its height): full screen fills
// it sharply instead; full HD keeps its whole 2 (89%).
TEST(Letterbox, FitModesSizeThePictureForCommonScreens) {
    struct FitCase {
        int width, height;
        FitMode mode;
        bool fullscreen;
        Rect expected;
        int wholeScale;
        bool smooth;
    } cases[] = {
        {640, 480, FitMode::whole, false, {0, 0, 640, 480}, 1, false},  // exact fit
        {1280, 960, FitMode::whole, false, {0, 0, 1280, 960}, 2, false},
        {1920, 1080, FitMode::whole, false, {320, 60, 1600, 1020}, 2, false},
        {2560, 1440, FitMode::whole, false, {320, 0, 2240, 1440}, 3, false},
        {3840, 2160, FitMode::whole, false, {640, 120, 3200, 2040}, 4, false},
        {641, 481, FitMode::whole, false, {0, 0, 640, 480}, 1, false},  // odd pixel: right, bottom
        // A smaller output shrinks, aspect kept; a minimised window gets nothing.
        {320, 240, FitMode::whole, false, {0, 0, 320, 240}, 1, false},
        {640, 240, FitMode::whole, false, {160, 0, 480, 240}, 1, false},
        {0, 0, FitMode::sharp, true, {0, 0, 0, 0}, 1, false},
        {1280, 800, FitMode::automatic, true, {107, 0, 1173, 800}, 1, true},
        {1280, 800, FitMode::automatic, false, {320, 160, 960, 640}, 1, false},
        {1280, 800, FitMode::whole, true, {320, 160, 960, 640}, 1, false},
        {1920, 1080, FitMode::automatic, true, {320, 60, 1600, 1020}, 2, false},
        {1920, 1080, FitMode::sharp, true, {240, 0, 1680, 1080}, 2, true},
        {1366, 768, FitMode::automatic, true, {171, 0, 1195, 768}, 1, true},
        {1366, 768, FitMode::sharp, false, {171, 0, 1195, 768}, 1, true},
        {1280, 960, FitMode::sharp, true, {0, 0, 1280, 960}, 2, false},  // already filled
        {800, 1280, FitMode::sharp, true, {0, 340, 800, 940}, 1, true},  // portrait: width
    };
    for (const FitCase& c : cases) {
        PicturePlacement p = placePicture(c.width, c.height, 640, 480, c.mode, c.fullscreen);
        EXPECT_EQ((std::vector<int>{p.target.left, p.target.top, p.target.right, p.target.bottom,
                                    p.wholeScale, p.smooth}),
                  (std::vector<int>{c.expected.left, c.expected.top, c.expected.right,
                                    c.expected.bottom, c.wholeScale, c.smooth}))
            << c.width << "x" << c.height << " mode " << static_cast<int>(c.mode);
    }
}

TEST(Letterbox, StaysInsideTheOutputAndKeepsTheAspectForAnySize) {
    for (int w = 1; w <= 2000; w += 37) {
        for (int h = 1; h <= 1500; h += 29) {
            Rect r = placePicture(w, h, 640, 480, FitMode::whole, false).target;
            int width = r.right - r.left, height = r.bottom - r.top;
            ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h)
                << w << "x" << h;
            ASSERT_TRUE(width > 0 && height > 0) << w << "x" << h;
            // Within a pixel of 4:3 after rounding down.
            EXPECT_LE(std::abs(width * 3 - height * 4), 4) << w << "x" << h;
            // Centred: the two borders differ by at most one pixel.
            EXPECT_LE(std::abs((w - r.right) - r.left), 1) << w << "x" << h;
            EXPECT_LE(std::abs((h - r.bottom) - r.top), 1) << w << "x" << h;
        }
    }
}

}  // namespace
