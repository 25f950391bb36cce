#include <gtest/gtest.h>

#include "platform/sdl/pad_reading.h"

namespace {

TEST(PadReading, StickRangeBecomesTheGamesAxisRange) {
    struct Case {
        int raw;
        int32_t expected;
    };
    const Case cases[] = {
        {-32768, -1024}, {-32767, -1024}, {0, 0}, {32767, 1024},
        // Half deflection must not yet count as a push (the game wants more than 512).
        {16383, 511},    {-16383, -511},
        {16416, 513},    {-16416, -513},
    };
    for (const Case& c : cases) EXPECT_EQ(scaleAxis(c.raw), c.expected) << c.raw;
}

TEST(PadReading, DirectionPadOverridesTheStickUnlessOppositesCancel) {
    struct Case {
        bool up, down, left, right;
        int32_t x, y;
    };
    const Case cases[] = {
        {false, false, false, false, 100, -200},  // untouched pad leaves the stick
        {true, false, false, false, 100, -1024},
        {false, true, false, false, 100, 1024},
        {false, false, true, false, -1024, -200},
        {false, false, false, true, 1024, -200},
        {true, false, false, true, 1024, -1024},  // diagonal
        {true, true, true, true, 100, -200},      // a rocking hat pressing both ways
    };
    for (const Case& c : cases) {
        JoystickState state;
        state.x = 100;
        state.y = -200;
        applyDirectionPad(c.up, c.down, c.left, c.right, state);
        EXPECT_EQ(state.x, c.x) << c.up << c.down << c.left << c.right;
        EXPECT_EQ(state.y, c.y) << c.up << c.down << c.left << c.right;
    }
}

}  // namespace
