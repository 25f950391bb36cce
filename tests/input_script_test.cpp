#include "platform/headless/input_script.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless_platform.h"

namespace {

InputScript parseOk(const std::string& text) {
    InputScript script;
    std::string error;
    EXPECT_TRUE(parseInputScript(text, script, error)) << error;
    return script;
}

}  // namespace

TEST(InputScript, KeyCommandsByCodeAndByName) {
    InputScript s = parseOk(
        "1 key 57 down\n"
        "2 key ESCAPE up\n"
        "3 key RCONTROL down\n");
    ASSERT_EQ(s.commands.size(), 3u);
    EXPECT_EQ(s.commands[0].code, 57);
    EXPECT_TRUE(s.commands[0].down);
    EXPECT_EQ(s.commands[1].code, 1);
    EXPECT_FALSE(s.commands[1].down);
    EXPECT_EQ(s.commands[2].code, 157);
    EXPECT_EQ(s.commands[2].frame, 3);
    EXPECT_EQ(s.commands[2].line, 3);
}

TEST(InputScript, KeyNamesAreDirectInputCodes) {
    struct {
        const char* name;
        int code;
    } table[] = {{"ESCAPE", 1},  {"SPACE", 57},  {"RETURN", 28},   {"BACK", 14},
                 {"UP", 200},    {"DOWN", 208},  {"LEFT", 203},    {"RIGHT", 205},
                 {"LSHIFT", 42}, {"RSHIFT", 54}, {"LCONTROL", 29}, {"RCONTROL", 157},
                 {"LMENU", 56},  {"A", 30},      {"E", 18},        {"X", 45},
                 {"D", 32},      {"G", 34},      {"Q", 16},        {"P", 25},
                 {"L", 38},      {"Z", 44},      {"M", 50}};
    for (const auto& row : table) EXPECT_EQ(keyCodeByName(row.name), row.code) << row.name;
    EXPECT_EQ(keyCodeByName("escape"), -1);
    EXPECT_EQ(keyCodeByName("F1"), -1);
}

TEST(InputScript, TapPressesAndReleasesLaterKeepingOrderWithinAFrame) {
    InputScript s = parseOk(
        "# a comment line\n"
        "\n"
        "2 tap SPACE          # released at 4\n"
        "3 tap RETURN 1\n"
        "4 key A down\n");
    ASSERT_EQ(s.commands.size(), 5u);
    struct {
        int frame, code;
        bool down;
    } expected[] = {{2, 57, true}, {3, 28, true}, {4, 57, false}, {4, 28, false}, {4, 30, true}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(s.commands[i].frame, expected[i].frame) << i;
        EXPECT_EQ(s.commands[i].code, expected[i].code) << i;
        EXPECT_EQ(s.commands[i].down, expected[i].down) << i;
    }
}

TEST(InputScript, JoystickButtonsAndAxes) {
    InputScript s = parseOk(
        "1 joy 0 button 31 down\n"
        "1 joy 2 axis x -1024\n"
        "2 joy 1 axis y +1024\n"
        "2 joy 0 button 0 up\n");
    ASSERT_EQ(s.commands.size(), 4u);
    EXPECT_EQ(s.commands[0].kind, InputCommand::Kind::joyButton);
    EXPECT_EQ(s.commands[0].code, 31);
    EXPECT_TRUE(s.commands[0].down);
    EXPECT_EQ(s.commands[1].kind, InputCommand::Kind::joyAxis);
    EXPECT_EQ(s.commands[1].joystick, 2);
    EXPECT_EQ(s.commands[1].axis, 'x');
    EXPECT_EQ(s.commands[1].value, -1024);
    EXPECT_EQ(s.commands[2].axis, 'y');
    EXPECT_EQ(s.commands[2].value, 1024);
    EXPECT_FALSE(s.commands[3].down);
}

TEST(InputScript, WindowsLineEndsAndEqualFramesAreFine) {
    InputScript s = parseOk("5 key UP down\r\n5 key UP up\r\n");
    EXPECT_EQ(s.commands.size(), 2u);
}

struct MalformedLine {
    const char* script;
    int line;
    const char* reason;  // a word the reason must contain
};

class InputScriptRejects : public testing::TestWithParam<MalformedLine> {};

TEST_P(InputScriptRejects, WithTheLineNumberAndAReason) {
    InputScript script;
    script.commands.resize(1);  // must be left alone on failure
    std::string error;
    EXPECT_FALSE(parseInputScript(GetParam().script, script, error));
    std::string prefix = "input:" + std::to_string(GetParam().line) + ": ";
    EXPECT_EQ(error.rfind(prefix, 0), 0u) << error;
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
    EXPECT_EQ(script.commands.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    InputScript, InputScriptRejects,
    testing::Values(
        MalformedLine{"key SPACE down\n", 1, "frame number"},
        MalformedLine{"1 key SPACE down\n0 key SPACE up\n", 2, "first frame"},
        MalformedLine{"5 key SPACE down\n4 key SPACE up\n", 2, "never go back"},
        MalformedLine{"1\n", 1, "missing command"}, MalformedLine{"1 press SPACE\n", 1, "press"},
        MalformedLine{"1 key\n", 1, "missing key"}, MalformedLine{"1 key 256 down\n", 1, "256"},
        MalformedLine{"1 key 12a down\n", 1, "12a"}, MalformedLine{"1 key SPAC down\n", 1, "SPAC"},
        MalformedLine{"1 key SPACE\n", 1, "down or up"},
        MalformedLine{"1 key SPACE pressed\n", 1, "pressed"},
        MalformedLine{"1 key SPACE down now\n", 1, "now"},
        MalformedLine{"1 tap SPACE 0\n", 1, "1 or more"},
        MalformedLine{"1 tap SPACE two\n", 1, "two"}, MalformedLine{"1 tap SPACE 2 3\n", 1, "3"},
        MalformedLine{"1 joy\n", 1, "joystick"}, MalformedLine{"1 joy 8 button 0 down\n", 1, "0-7"},
        MalformedLine{"1 joy 0 button 32 down\n", 1, "0-31"},
        MalformedLine{"1 joy 0 button 1\n", 1, "down or up"},
        MalformedLine{"1 joy 0 stick x 5\n", 1, "button or axis"},
        MalformedLine{"1 joy 0 axis z 5\n", 1, "x or y"},
        MalformedLine{"1 joy 0 axis x 1025\n", 1, "-1024..1024"},
        MalformedLine{"1 joy 0 axis x -1025\n", 1, "-1024..1024"},
        MalformedLine{"1 joy 0 axis x\n", 1, "axis value"},
        MalformedLine{"1 joy 0 axis x 5 6\n", 1, "6"},
        MalformedLine{"# fine\n\n2 key A down\n  # fine\n2 key A sideways\n", 5, "sideways"}));

TEST(InputScript, JoysticksTheRunDoesNotHaveAreRejectedWithTheirLine) {
    InputScript s = parseOk("1 key A down\n2 joy 1 button 0 down\n");
    std::string error;
    EXPECT_TRUE(checkScriptJoysticks(s, 2, error));
    EXPECT_FALSE(checkScriptJoysticks(s, 1, error));
    EXPECT_EQ(error.rfind("input:2: ", 0), 0u) << error;
}

TEST(InputScript, MissingFileIsAnError) {
    InputScript s;
    std::string error;
    EXPECT_FALSE(loadInputScript("/nonexistent/dir/script.txt", s, error));
    EXPECT_NE(error.find("/nonexistent/dir/script.txt"), std::string::npos);
}

TEST(InputScriptPlayer, AppliesEachFrameOnceAndInOrder) {
    InputScript s = parseOk(
        "2 key SPACE down\n"
        "2 joy 0 axis x -600\n"
        "3 joy 0 button 4 down\n"
        "4 key SPACE up\n");
    ScriptedKeyboard keyboard;
    SimulatedJoysticks joysticks(1);
    ASSERT_TRUE(joysticks.setUp(0, 0));
    InputScriptPlayer player(s, keyboard, joysticks);
    JoystickState state;

    player.applyThrough(1);
    EXPECT_FALSE(keyboard.keyDown(57));
    player.applyThrough(2);
    EXPECT_TRUE(keyboard.keyDown(57));
    ASSERT_TRUE(joysticks.read(0, state));
    EXPECT_EQ(state.x, -600);
    EXPECT_EQ(state.buttons[4], 0);

    // A key released by hand in between is not pressed again by replaying frame 2.
    keyboard.setKey(57, false);
    player.applyThrough(3);
    EXPECT_FALSE(keyboard.keyDown(57));
    ASSERT_TRUE(joysticks.read(0, state));
    EXPECT_EQ(state.buttons[4], 0x80);
    player.applyThrough(10);
    EXPECT_FALSE(keyboard.keyDown(57));
}
