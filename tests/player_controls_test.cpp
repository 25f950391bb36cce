#include <gtest/gtest.h>

#include "input/controls.h"
#include "input/default_bindings.h"
#include "input/input_reader.h"
#include "platform/headless/headless_platform.h"

namespace {

constexpr uint32_t up = 0x1, down = 0x2, left = 0x4, right = 0x8;

// A reader of the headless devices, with the default key bindings.
struct InputRig {
    explicit InputRig(int pads, int setUp = 3, int failingPad = -1) : joysticks(pads) {
        if (failingPad >= 0) joysticks.setSetUpFails(failingPad, true);
        setUpCount = reader.setUpJoysticks(setUp);
        const PlayerKeys keys[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
        reader.bindPlayerKeys(keys);
    }
    // Reads twice, so the keys as they are now reach the players' controls.
    FrameInput settled() {
        reader.read(0);
        return reader.read(0);
    }
    static bool button(const FrameInput& in, int slot, int b) {
        return (in.players[slot].buttons >> b) & 1u;
    }

    ScriptedKeyboard keyboard;
    SimulatedJoysticks joysticks;
    InputReader reader{&keyboard, &joysticks};
    int setUpCount = 0;
};

}  // namespace

TEST(PlayerControls, AxisThresholdsCountHalfTheRangeAsCentre) {
    struct {
        char axis;
        int value;
        uint32_t expected;
    } table[] = {{'x', -512, 0}, {'x', -513, left}, {'x', 512, 0}, {'x', 513, right},
                 {'y', -512, 0}, {'y', -513, up},   {'y', 512, 0}, {'y', 513, down}};
    for (const auto& row : table) {
        InputRig rig(1);
        rig.joysticks.setAxis(0, row.axis, row.value);
        EXPECT_EQ(rig.reader.read(0).players[0].directions, row.expected)
            << row.axis << "=" << row.value << ": pads count in the reading itself";
    }
}

TEST(PlayerControls, KeysAndJoysticksAddUpInTheirSlotsWithOppositeDirectionsKept) {
    InputRig rig(3);
    rig.joysticks.setAxis(0, 'x', -600);
    rig.keyboard.setKey(205, true);  // right arrow
    rig.joysticks.setButton(0, 2, true);
    rig.keyboard.setKey(54, true);  // right shift: button 0
    rig.keyboard.setKey(18, true);  // E and X: up and down of player 2
    rig.keyboard.setKey(45, true);
    rig.joysticks.setButton(2, 31, true);
    FrameInput in = rig.settled();
    EXPECT_EQ(in.players[0].directions, left | right);
    EXPECT_EQ(in.players[1].directions, up | down);
    EXPECT_EQ(in.players[0].buttons, 0b101u);
    EXPECT_EQ(in.players[2].buttons, 1u << 31);
}

// A controller button bound to an action presses that action only; the A, B or X it replaced
// presses nothing and the buttons the game reads itself (Start, Y) stay what they are.
TEST(PlayerControls, BoundControllerButtonsPressTheirActions) {
    struct {
        int held;
        uint32_t player1, player2;  // player 2 keeps the defaults
    } table[] = {{10, 1u << 0, 1u << 10}, {0, 0, 1u << 0},       {9, 1u << 2, 1u << 9},
                 {1, 1u << 1, 1u << 1},   {6, 1u << 6, 1u << 6}, {3, 1u << 3, 1u << 3},
                 {2, 0, 1u << 2}};
    for (const auto& row : table) {
        InputRig rig(2);
        const PadButtons pads[keyboardPlayers] = {PadButtons{10, 1, 9}, PadButtons{}};
        rig.reader.bindPlayerPads(pads);
        for (int pad : {0, 1}) rig.joysticks.setButton(pad, row.held, true);
        FrameInput in = rig.reader.read(0);
        EXPECT_EQ(in.players[0].buttons, row.player1) << "button " << row.held;
        EXPECT_EQ(in.players[1].buttons, row.player2) << "button " << row.held;
    }
}

TEST(PlayerControls, UnreadableJoystickIsReacquiredOnceAndAddsNothingUnlessThatHelps) {
    for (bool acquireHelps : {false, true}) {
        InputRig rig(1);
        rig.joysticks.setButton(0, 5, true);
        rig.joysticks.setReadFails(0, true);
        rig.joysticks.setAcquireFixesRead(0, acquireHelps);
        rig.keyboard.setKey(203, true);
        FrameInput in = rig.settled();
        EXPECT_EQ(in.players[0].directions, left) << "the keys still count";
        EXPECT_EQ(InputRig::button(in, 0, 5), acquireHelps);
        EXPECT_EQ(rig.joysticks.acquireCalls(), acquireHelps ? 1 : 2) << "once per failed reading";
        EXPECT_EQ(rig.reader.attachedJoysticks(), acquireHelps ? 1 : 0);
    }
}

TEST(Joysticks, SetUpAtMostTheCountAskedFor) {
    struct {
        int attached, maxCount, expected;
    } table[] = {{0, 3, 0}, {2, 3, 2}, {3, 3, 3}, {8, 3, 3}, {2, 1, 1}};
    for (const auto& row : table) {
        InputRig rig(row.attached, row.maxCount);
        EXPECT_EQ(rig.reader.joystickCount(), row.expected) << row.attached;
    }
    InputRig failing(3, 3, 1);
    EXPECT_EQ(failing.setUpCount, 1) << "the first failure ends the set-up";
    EXPECT_EQ(failing.joysticks.setUpCalls(), 2);
    // A pad plugged in later fills the slot the failed one left free, and nothing new means
    // no set-up; never more than three, and none tried once the slots are full.
    EXPECT_EQ(failing.reader.setUpNewJoysticks(3), 1);
    failing.joysticks.setCount(4);
    EXPECT_EQ(failing.reader.setUpNewJoysticks(3), 2);
    failing.joysticks.setButton(3, 7, true);
    EXPECT_TRUE(InputRig::button(failing.reader.read(0), 1, 7));
    failing.joysticks.setCount(6);
    EXPECT_EQ(failing.reader.setUpNewJoysticks(3), 3);
    const int callsBefore = failing.joysticks.setUpCalls();
    EXPECT_EQ(failing.reader.setUpNewJoysticks(3), 3);
    EXPECT_EQ(failing.joysticks.setUpCalls(), callsBefore);
}
