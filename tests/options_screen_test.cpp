#include "program/options_screen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sdl/sdl_platform.h"
#include "support/screen_run.h"

namespace {

InputCommand key(int code) { return keyCommand(1, code, true); }
InputCommand pad(int button) {
    InputCommand c;
    c.kind = InputCommand::Kind::joyButton;
    c.code = button;
    c.down = true;
    return c;
}
InputCommand stick(char axis, int value) {
    InputCommand c;
    c.kind = InputCommand::Kind::joyAxis;
    c.axis = axis;
    c.value = value;
    return c;
}

constexpr int kReturn = 28, kEscape = 1, kDown = 208, kLeftShift = 42, kSpace = 57, kTab = 15;


// Player 1's fire (the third line of the controls page) waiting for its new key.
void openFireOfPlayer1(OptionsScreen& screen) {
    screen.open();
    screen.handle({key(kReturn), key(kDown), key(kDown), key(kReturn)});
}

TEST(OptionsScreen, ATakenKeyIsRefusedWithAMessageAndAFreeOneTaken) {
    Options o;
    OptionsScreen screen(o, keyNameFromCode);
    openFireOfPlayer1(screen);
    struct Step {
        int code;
        unsigned changed;
        int fire;
        const char* message;
    } steps[] = {
        {kLeftShift, OptionsScreen::nothing, 54, "LEFT SHIFT IS ALREADY PLAYER 2 FIRE"},
        {kTab, OptionsScreen::nothing, 54, "TAB IS ALREADY TAB (OPTIONS)"},
        {200, OptionsScreen::nothing, 54, "UP IS ALREADY PLAYER 1 UP"},
        {kSpace, OptionsScreen::keys, 57, "PLAYER 1 FIRE IS NOW SPACE"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.code);
        EXPECT_EQ(screen.handle({key(s.code)}), s.changed);
        EXPECT_EQ(o.playerKeys[0].fire, s.fire);
        EXPECT_EQ(screen.view(false, PadLayout::generic).message, s.message);
    }
    ASSERT_EQ(screen.toSave().size(), 1u);
    EXPECT_EQ(
        screen.toSave()[0].section + " " + screen.toSave()[0].name + " " + screen.toSave()[0].value,
        "player1 fire Space");

    // Escape keeps the key it waited to replace; reset brings every default back.
    openFireOfPlayer1(screen);
    EXPECT_EQ(screen.handle({key(kEscape), key(kDown)}), OptionsScreen::nothing);
    EXPECT_EQ(o.playerKeys[0].fire, kSpace);
    screen.handle(std::vector<InputCommand>(7, key(kDown)));  // onto "RESET TO DEFAULTS"
    EXPECT_EQ(screen.handle({key(kReturn)}), OptionsScreen::keys);
    EXPECT_EQ(o.playerKeys[0].fire, defaultPlayerKeys(0).fire);
    EXPECT_EQ(screen.toSave().size(), 10u);
    EXPECT_TRUE(screen.isOpen());
    EXPECT_EQ(screen.handle({key(kEscape), key(kEscape)}), OptionsScreen::nothing);
    EXPECT_FALSE(screen.isOpen());
}

// Every page reached and every kind of value changed with a controller alone.
TEST(OptionsScreen, AControllerAloneReachesEveryPage) {
    Options o;
    OptionsScreen screen(o, keyNameFromCode);
    screen.open();
    auto down = [&] { return screen.handle({stick('y', 1024), stick('y', 0)}); };
    // A stick held down moves once, not every frame.
    screen.handle({stick('y', 1024)});
    screen.handle({stick('y', 900)});
    EXPECT_EQ(screen.view(true, PadLayout::xbox).selected, 1);
    screen.handle({stick('y', 0)});
    EXPECT_EQ(screen.handle({pad(0)}), OptionsScreen::nothing);  // SOUND
    EXPECT_EQ(screen.handle({stick('x', -1024)}), OptionsScreen::sound);
    EXPECT_EQ(o.musicVolume, 90);
    screen.handle({pad(1)});
    down();
    screen.handle({pad(0)});  // DISPLAY: mode
    EXPECT_EQ(screen.handle({pad(0)}), OptionsScreen::display);
    EXPECT_FALSE(o.fullscreen);
    down();
    down();
    EXPECT_EQ(screen.handle({pad(0)}), OptionsScreen::display);
    EXPECT_EQ(o.fitMode, FitMode::whole);
    screen.handle({pad(1)});
    down();
    screen.handle({pad(0)});  // EXTRAS: the score line
    EXPECT_EQ(screen.handle({pad(0)}), OptionsScreen::extras);
    EXPECT_TRUE(o.extras.scoreLine);
    EXPECT_EQ(screen.view(true, PadLayout::playstation).hint,
              "CROSS: CHANGE   CIRCLE: BACK   OPTIONS: CLOSE");
    screen.handle({pad(6)});
    EXPECT_FALSE(screen.isOpen());
}

// A key changed on the options screen of one run is in the settings file and plays in the
// next: Space becomes player 1's fire (Left Shift is refused on the way) and starts a game.
TEST(OptionsScreenRun, ARebindingIsSavedAndUsedAfterARestart) {
    std::string dir = screen_run::scratchDir();
    std::string config = dir + "/parapet.ini";
    writeText(config, "; my keys\n[player1]\nleft = Left\n");
    const char* script =
        "350 tap TAB\n352 tap RETURN\n354 tap DOWN\n356 tap DOWN\n358 tap RETURN\n"
        "360 tap LSHIFT\n362 tap SPACE\n364 tap TAB\n380 tap SPACE\n";
    screen_run::Result first =
        screen_run::run(dir, script, "--frames 400 --config " + screen_run::quoted(config));
    ASSERT_EQ(first.exitCode, 0) << first.errors;
    EXPECT_EQ(readText(config), "; my keys\n[player1]\nleft = Left\nfire = Space\n");
    // The menu saw none of the options screen's keys and takes the new key at once.
    EXPECT_EQ(first.stateChange(15, 30), 382);

    std::string again = screen_run::scratchDir("again");
    screen_run::Result second =
        screen_run::run(again, "360 tap SPACE\n", "--frames 400 --config " + screen_run::quoted(config));
    ASSERT_EQ(second.exitCode, 0) << second.errors;
    EXPECT_EQ(second.stateChange(15, 30), 362);
}

}  // namespace
