#include <gtest/gtest.h>

#include <memory>

#include "engine/engine.h"
#include "input/default_bindings.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"

namespace {

constexpr uint32_t up = 0x1, down = 0x2, left = 0x4, right = 0x8;

// An engine on the headless devices, with the default key bindings.
struct InputRig {
    explicit InputRig(int pads, int setUp = 3, int failingPad = -1) : joysticks(pads) {
        if (failingPad >= 0) joysticks.setSetUpFails(failingPad, true);
        engine = std::make_unique<Engine>(&display, &keyboard, &joysticks, 640, 480, 16);
        setUpCount = engine->setUpJoysticks(setUp);
        bindDefaultKeys(*engine);
    }
    // The keys as they are now become the snapshot the next readControls() uses.
    void snapshotAndRead() {
        engine->readKeyboard();
        engine->readControls();
    }

    HeadlessDisplay display{640, 480};
    ScriptedKeyboard keyboard;
    SimulatedJoysticks joysticks;
    std::unique_ptr<Engine> engine;
    int setUpCount = 0;
};

}  // namespace

TEST(PlayerControls, DefaultKeysOfBothPlayers) {
    InputRig rig(0);
    struct {
        int key, slot;
        uint32_t directions;
        int button;
    } table[] = {{200, 0, up, -1},  {208, 0, down, -1}, {203, 0, left, -1}, {205, 0, right, -1},
                 {54, 0, 0, 0},     {157, 0, 0, 1},     {28, 0, 0, 2},      {18, 1, up, -1},
                 {45, 1, down, -1}, {32, 1, left, -1},  {34, 1, right, -1}, {42, 1, 0, 0},
                 {29, 1, 0, 1},     {56, 1, 0, 2}};
    for (const auto& row : table) {
        rig.keyboard.setKey(row.key, true);
        rig.snapshotAndRead();
        EXPECT_EQ(rig.engine->directions(row.slot), row.directions) << row.key;
        EXPECT_EQ(rig.engine->directions(1 - row.slot), 0u) << row.key;
        for (int b = 0; b < 3; ++b)
            EXPECT_EQ(rig.engine->isButtonDown(row.slot, b), b == row.button) << row.key;
        EXPECT_EQ(rig.engine->directions(2), 0u) << "player 3 has no keys";
        rig.keyboard.setKey(row.key, false);
    }
}

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
        rig.snapshotAndRead();
        EXPECT_EQ(rig.engine->directions(0), row.expected) << row.axis << "=" << row.value;
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
    rig.snapshotAndRead();
    EXPECT_EQ(rig.engine->directions(0), left | right);
    EXPECT_EQ(rig.engine->directions(1), up | down);
    EXPECT_TRUE(rig.engine->isButtonDown(0, 0));
    EXPECT_FALSE(rig.engine->isButtonDown(0, 1));
    EXPECT_TRUE(rig.engine->isButtonDown(0, 2));
    EXPECT_FALSE(rig.engine->isButtonDown(0, 31));
    EXPECT_TRUE(rig.engine->isButtonDown(2, 31));
    EXPECT_FALSE(rig.engine->isButtonDown(2, 30));
}

TEST(PlayerControls, CurrentAndPreviousFramesOfAHeldButton) {
    InputRig rig(1);
    rig.joysticks.setButton(0, 1, true);
    rig.joysticks.setAxis(0, 'x', 900);
    rig.engine->readControls();
    EXPECT_TRUE(rig.engine->isButtonDown(0, 1));
    EXPECT_FALSE(rig.engine->wasButtonDown(0, 1));
    EXPECT_EQ(rig.engine->previousDirections(0), 0u);
    rig.engine->readControls();
    EXPECT_TRUE(rig.engine->isButtonDown(0, 1));
    EXPECT_TRUE(rig.engine->wasButtonDown(0, 1));
    EXPECT_EQ(rig.engine->previousDirections(0), right);
    rig.joysticks.setButton(0, 1, false);
    rig.joysticks.setAxis(0, 'x', 0);
    rig.engine->readControls();
    EXPECT_FALSE(rig.engine->isButtonDown(0, 1));
    EXPECT_TRUE(rig.engine->wasButtonDown(0, 1));
    EXPECT_EQ(rig.engine->directions(0), 0u);
    EXPECT_EQ(rig.engine->previousDirections(0), right);
}

TEST(PlayerControls, UnreadableJoystickIsReacquiredOnceAndAddsNothingUnlessThatHelps) {
    for (bool acquireHelps : {false, true}) {
        InputRig rig(1);
        rig.joysticks.setButton(0, 5, true);
        rig.joysticks.setReadFails(0, true);
        rig.joysticks.setAcquireFixesRead(0, acquireHelps);
        rig.keyboard.setKey(203, true);
        rig.snapshotAndRead();
        EXPECT_EQ(rig.engine->directions(0), left) << "the keys still count";
        EXPECT_EQ(rig.engine->isButtonDown(0, 5), acquireHelps);
        EXPECT_EQ(rig.joysticks.acquireCalls(), 1);
    }
}

TEST(Keyboard, FailedReadKeepsThePreviousSnapshot) {
    InputRig rig(0);
    rig.keyboard.setKey(57, true);
    rig.engine->readKeyboard();
    rig.keyboard.setReadable(false);
    rig.keyboard.setKey(57, false);
    rig.keyboard.setKey(1, true);
    rig.engine->readKeyboard();
    EXPECT_TRUE(rig.engine->isKeyDown(57));
    EXPECT_FALSE(rig.engine->isKeyDown(1));
    rig.keyboard.setReadable(true);
    rig.engine->readKeyboard();
    EXPECT_FALSE(rig.engine->isKeyDown(57));
    EXPECT_TRUE(rig.engine->isKeyDown(1));
}

TEST(Joysticks, SetUpAtMostTheCountAskedFor) {
    struct {
        int attached, maxCount, expected;
    } table[] = {{0, 3, 0}, {2, 3, 2}, {3, 3, 3}, {8, 3, 3}, {2, 1, 1}};
    for (const auto& row : table) {
        InputRig rig(row.attached, row.maxCount);
        EXPECT_EQ(rig.engine->joystickCount(), row.expected) << row.attached;
    }
    InputRig failing(3, 3, 1);
    EXPECT_EQ(failing.setUpCount, 1) << "the first failure ends the set-up";
    EXPECT_EQ(failing.joysticks.setUpCalls(), 2);
}

TEST(Joysticks, PadsPluggedInLaterTakeTheNextSlots) {
    InputRig rig(1);
    ASSERT_EQ(rig.engine->joystickCount(), 1);
    EXPECT_EQ(rig.engine->setUpNewJoysticks(3), 1) << "nothing new";
    rig.joysticks.setCount(2);
    EXPECT_EQ(rig.engine->setUpNewJoysticks(3), 2);
    rig.joysticks.setButton(1, 3, true);
    rig.engine->readControls();
    EXPECT_TRUE(rig.engine->isButtonDown(1, 3));
    rig.joysticks.setCount(5);
    EXPECT_EQ(rig.engine->setUpNewJoysticks(3), 3) << "never more than three";
    rig.joysticks.setCount(6);
    int callsBefore = rig.joysticks.setUpCalls();
    EXPECT_EQ(rig.engine->setUpNewJoysticks(3), 3);
    EXPECT_EQ(rig.joysticks.setUpCalls(), callsBefore);
}

TEST(Joysticks, NewPadFillsTheSlotAFailedOneLeftFree) {
    InputRig rig(2, 3, 1);
    ASSERT_EQ(rig.setUpCount, 1);
    rig.joysticks.setCount(3);
    EXPECT_EQ(rig.engine->setUpNewJoysticks(3), 2);
    rig.joysticks.setButton(2, 7, true);  // the new pad, third in the enumeration
    rig.engine->readControls();
    EXPECT_TRUE(rig.engine->isButtonDown(1, 7));
}
