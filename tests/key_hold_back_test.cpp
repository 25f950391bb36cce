#include <gtest/gtest.h>

#include <cstring>

#include "platform/sdl/key_hold_back.h"

namespace {

constexpr int returnKey = 28;
constexpr int leftAlt = 56;
constexpr int space = 57;

TEST(KeyHoldBack, HeldKeysStayHiddenUntilReleasedThenCountAgain) {
    KeyHoldBack holdBack;
    holdBack.holdBack(returnKey);
    holdBack.holdBack(leftAlt);

    uint8_t state[256] = {};
    // Both still held after the switch, and another key pressed alongside.
    state[returnKey] = state[leftAlt] = state[space] = 0x80;
    holdBack.apply(state);
    EXPECT_EQ(state[returnKey], 0);
    EXPECT_EQ(state[leftAlt], 0);
    EXPECT_EQ(state[space], 0x80) << "other keys are not touched";

    // Return let go, Alt still held: Alt stays hidden.
    state[returnKey] = state[space] = 0;
    state[leftAlt] = 0x80;
    holdBack.apply(state);
    EXPECT_EQ(state[leftAlt], 0);
    EXPECT_FALSE(holdBack.isHeldBack(returnKey));
    EXPECT_TRUE(holdBack.isHeldBack(leftAlt));

    // A fresh press of Return after its release reaches the game; so does Alt once let go.
    state[returnKey] = 0x80;
    holdBack.apply(state);
    EXPECT_EQ(state[returnKey], 0x80);
    state[leftAlt] = 0;
    holdBack.apply(state);
    state[leftAlt] = 0x80;
    holdBack.apply(state);
    EXPECT_EQ(state[leftAlt], 0x80);
}

TEST(KeyHoldBack, CodesWithoutAKeyAreIgnored) {
    KeyHoldBack holdBack;
    holdBack.holdBack(0);  // what an unmapped scancode turns into
    holdBack.holdBack(-1);
    holdBack.holdBack(256);
    uint8_t state[256];
    std::memset(state, 0x80, sizeof state);
    holdBack.apply(state);
    for (int dik = 0; dik < 256; ++dik) EXPECT_EQ(state[dik], 0x80) << dik;
}

}  // namespace
