#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/sdl/letterbox.h"

namespace {

struct Case {
    int outputWidth, outputHeight;
    Rect expected;
    const char* what;
};

TEST(Letterbox, PlacesTheScreenCentredAtTheLargestWholeScaleThatFits) {
    const Case cases[] = {
        {640, 480, {0, 0, 640, 480}, "exact fit"},
        {1280, 960, {0, 0, 1280, 960}, "doubled window"},
        {1920, 1080, {320, 60, 1600, 1020}, "full HD keeps a whole scale of 2"},
        {2560, 1440, {320, 0, 2240, 1440}, "scale 3 fills the height"},
        {3840, 2160, {640, 120, 3200, 2040}, "4K: the height limits it to 4"},
        {641, 481, {0, 0, 640, 480}, "odd border pixel goes right and bottom"},
        {320, 240, {0, 0, 320, 240}, "smaller output shrinks, aspect kept"},
        {640, 240, {160, 0, 480, 240}, "flat small output shrinks by height"},
        {0, 0, {0, 0, 0, 0}, "a minimised window gets nothing"},
    };
    for (const Case& c : cases) {
        Rect r = letterbox(c.outputWidth, c.outputHeight, 640, 480);
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int>{c.expected.left, c.expected.top, c.expected.right,
                                    c.expected.bottom}))
            << c.what;
    }
}

TEST(Letterbox, StaysInsideTheOutputAndKeepsTheAspectForAnySize) {
    for (int w = 1; w <= 2000; w += 37) {
        for (int h = 1; h <= 1500; h += 29) {
            Rect r = letterbox(w, h, 640, 480);
            int width = r.right - r.left, height = r.bottom - r.top;
            ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h) << w << "x" << h;
            ASSERT_TRUE(width > 0 && height > 0) << w << "x" << h;
            // Within a pixel of 4:3 after rounding down.
            EXPECT_LE(std::abs(width * 3 - height * 4), 4) << w << "x" << h;
            // Centred: the two borders differ by at most one pixel.
            EXPECT_LE(std::abs((w - r.right) - r.left), 1) << w << "x" << h;
            EXPECT_LE(std::abs((h - r.bottom) - r.top), 1) << w << "x" << h;
        }
    }
}

// The handheld's 1280 x 800 gets only a whole scale of 1 (60% of its height): full screen
// fills it sharply instead; full HD keeps its whole 2 (89%).
TEST(Letterbox, FitModesSizeThePictureForCommonScreens) {
    struct FitCase {
        int width, height;
        FitMode mode;
        bool fullscreen;
        Rect expected;
        int wholeScale;
        bool smooth;
    } cases[] = {
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

}  // namespace
