#include "input/input_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"

namespace {

std::vector<std::string> capture(InputCapture& capture, int frame) {
    std::vector<InputCommand> commands;
    capture.commandsFor(frame, commands);
    std::vector<std::string> out;
    for (const InputCommand& c : commands) out.push_back(formatInputCommand(c));
    return out;
}

// The "real" devices here are the scripted ones, set by hand between frames.
TEST(InputCapture, ReportsOnlyWhatChangedSinceTheLastFrame) {
    ScriptedKeyboard keys;
    SimulatedJoysticks pads(2);
    InputCapture live(keys, &pads);
    EXPECT_EQ(live.joystickCount(), 2);
    EXPECT_TRUE(capture(live, 1).empty());

    keys.setKey(57, true);
    keys.setKey(200, true);
    pads.setButton(1, 3, true);
    pads.setAxis(0, 'x', -700);
    EXPECT_EQ(capture(live, 2),
              (std::vector<std::string>{"2 key SPACE down", "2 key UP down", "2 joy 0 axis x -1024",
                                        "2 joy 1 button 3 down"}));
    // Jitter within one stick position, and held keys, are no news.
    pads.setAxis(0, 'x', -900);
    EXPECT_TRUE(capture(live, 3).empty());

    keys.setKey(57, false);
    pads.setAxis(0, 'x', 512);  // exactly half way still counts as centred
    pads.setAxis(0, 'y', 513);
    EXPECT_EQ(capture(live, 4), (std::vector<std::string>{"4 key SPACE up", "4 joy 0 axis x 0",
                                                          "4 joy 0 axis y 1024"}));
}

TEST(InputCapture, LostDevicesAndLatePads) {
    ScriptedKeyboard keys;
    SimulatedJoysticks pads(1);
    InputCapture live(keys, &pads);
    keys.setKey(30, true);
    pads.setButton(0, 0, true);
    capture(live, 1);

    // An unreadable keyboard changes nothing; a pad that stays unreadable lets go.
    keys.setReadable(false);
    keys.setKey(30, false);
    pads.setReadFails(0, true);
    EXPECT_EQ(capture(live, 2), (std::vector<std::string>{"2 joy 0 button 0 up"}));
    EXPECT_FALSE(live.controllerReadable(0));  // the menu stops counting it
    keys.setReadable(true);
    EXPECT_EQ(capture(live, 3), (std::vector<std::string>{"3 key A up"}));

    // A pad plugged in later is opened and read from the frame it appears.
    pads.setCount(2);
    pads.setButton(1, 2, true);
    EXPECT_EQ(capture(live, 4), (std::vector<std::string>{"4 joy 1 button 2 down"}));
    EXPECT_EQ(live.joystickCount(), 2);
    EXPECT_TRUE(live.controllerReadable(1));
    pads.setReadFails(0, false);
    capture(live, 5);
    EXPECT_TRUE(live.controllerReadable(0));
}

}  // namespace
