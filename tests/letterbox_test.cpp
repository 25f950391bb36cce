#include <gtest/gtest.h>

#include <cstdlib>

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
        {1024, 768, {192, 144, 832, 624}, "too small for 2: 1 with borders"},
        {3840, 2160, {640, 120, 3200, 2040}, "4K: the height limits it to 4"},
        {800, 480, {80, 0, 720, 480}, "wide output gets side borders"},
        {641, 481, {0, 0, 640, 480}, "odd border pixel goes right and bottom"},
        {320, 240, {0, 0, 320, 240}, "smaller output shrinks, aspect kept"},
        {400, 480, {0, 90, 400, 390}, "narrow small output shrinks by width"},
        {640, 240, {160, 0, 480, 240}, "flat small output shrinks by height"},
    };
    for (const Case& c : cases) {
        Rect r = letterbox(c.outputWidth, c.outputHeight, 640, 480);
        EXPECT_EQ(r.left, c.expected.left) << c.what;
        EXPECT_EQ(r.top, c.expected.top) << c.what;
        EXPECT_EQ(r.right, c.expected.right) << c.what;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.what;
    }
}

TEST(Letterbox, StaysInsideTheOutputAndKeepsTheAspectForAnySize) {
    for (int w = 1; w <= 2000; w += 37) {
        for (int h = 1; h <= 1500; h += 29) {
            Rect r = letterbox(w, h, 640, 480);
            ASSERT_GE(r.left, 0);
            ASSERT_GE(r.top, 0);
            ASSERT_LE(r.right, w);
            ASSERT_LE(r.bottom, h);
            int width = r.right - r.left;
            int height = r.bottom - r.top;
            ASSERT_GT(width, 0);
            ASSERT_GT(height, 0);
            // Within a pixel of 4:3 after rounding down.
            EXPECT_LE(std::abs(width * 3 - height * 4), 4) << w << "x" << h;
            // Centred: the two borders differ by at most one pixel.
            EXPECT_LE(std::abs((w - r.right) - r.left), 1) << w << "x" << h;
            EXPECT_LE(std::abs((h - r.bottom) - r.top), 1) << w << "x" << h;
        }
    }
}

TEST(Letterbox, AMinimisedWindowGetsNothing) {
    Rect r = letterbox(0, 0, 640, 480);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
}

}  // namespace
