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
InputCommand pad(int button, int joystick = 0) {
    return {
        .kind = InputCommand::Kind::joyButton, .code = button, .down = true, .joystick = joystick};
}
InputCommand stick(char axis, int value) {
    return {.kind = InputCommand::Kind::joyAxis, .axis = axis, .value = value};
}

constexpr int kReturn = 28, kEscape = 1, kDown = 208, kLeftShift = 42, kSpace = 57, kTab = 15;

// Player 1's fire (the third line of the controls page) waiting for its new key.
void openFireOfPlayer1(OptionsScreen& screen) {
    screen.open();
    screen.handle({key(kReturn), key(kDown), key(kDown), key(kReturn)});
}

// Player 1's fire waiting for a new key or button, named as printed on his controller: one
// the game reads itself, another action's or another controller's is refused with a message
// and the wait goes on; a free one is taken (and saved: OptionsScreenRun). Escape or Start
// keeps the old one; reset brings every default back.
TEST(OptionsScreen, ATakenKeyOrButtonIsRefusedWithAMessageAndAFreeOneTaken) {
    Options o;
    OptionsScreen screen(o, keyNameFromCode);
    screen.setPadLayouts(PadLayout::playstation, PadLayout::xbox);
    openFireOfPlayer1(screen);
    struct Step {
        InputCommand press;
        unsigned changed;
        int fireKey, fireButton;  // after the press
        const char* message;
    } steps[] = {
        {key(kLeftShift), OptionsScreen::nothing, 54, 0, "LEFT SHIFT IS ALREADY PLAYER 2 FIRE"},
        {key(kTab), OptionsScreen::nothing, 54, 0, "TAB IS ALREADY TAB (OPTIONS)"},
        {key(200), OptionsScreen::nothing, 54, 0, "UP IS ALREADY PLAYER 1 UP"},
        {pad(1), OptionsScreen::nothing, 54, 0, "CIRCLE IS ALREADY PLAYER 1 CHAINSAW"},
        {pad(3), OptionsScreen::nothing, 54, 0, "TRIANGLE IS ALREADY FOR SCREENSHOTS"},
        {pad(11), OptionsScreen::nothing, 54, 0, "D-PAD UP IS ALREADY FOR MOVING"},
        {pad(9, 1), OptionsScreen::nothing, 54, 0, "THAT IS NOT PLAYER 1'S CONTROLLER"},
        {key(kSpace), OptionsScreen::keys, 57, 0, "PLAYER 1 FIRE IS NOW SPACE"},
        {pad(9), OptionsScreen::keys, 57, 9, "PLAYER 1 FIRE IS NOW L1"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.message);
        EXPECT_EQ(screen.handle({s.press}), s.changed);
        EXPECT_EQ((std::vector<int>{o.playerKeys[0].fire, o.playerPads[0].fire}),
                  (std::vector<int>{s.fireKey, s.fireButton}));
        EXPECT_EQ(screen.view(true, PadLayout::playstation).message, s.message);
        if (s.changed) openFireOfPlayer1(screen);  // that wait is over: the next one
    }
    EXPECT_EQ(screen.view(true, PadLayout::playstation).hint,
              "PRESS A KEY OR BUTTON (OPTIONS: KEEP THE OLD ONE)");
    EXPECT_EQ(screen.handle({pad(6)}), OptionsScreen::nothing);
    EXPECT_EQ(o.playerPads[0].fire, 9);
    EXPECT_EQ(screen.view(true, PadLayout::playstation).hint,
              "CROSS: CHANGE   CIRCLE: BACK   OPTIONS: CLOSE")
        << "Start ended the wait, not the screen";
    EXPECT_EQ(screen.view(true, PadLayout::playstation).lines[2],
              "PLAYER 1 FIRE     SPACE         L1");

    openFireOfPlayer1(screen);
    EXPECT_EQ(screen.handle({key(kEscape), key(kDown)}), OptionsScreen::nothing);
    EXPECT_EQ(o.playerKeys[0].fire, kSpace);
    screen.handle(std::vector<InputCommand>(7, key(kDown)));  // onto "RESET TO DEFAULTS"
    EXPECT_EQ(screen.handle({key(kReturn)}), OptionsScreen::keys);
    EXPECT_EQ(o.playerKeys[0].fire, defaultPlayerKeys(0).fire);
    EXPECT_EQ(o.playerPads[0], PadButtons{});
    EXPECT_EQ(screen.toSave().size(), 16u) << "every key and every controller button";
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
    screen.handle({pad(6)});
    EXPECT_FALSE(screen.isOpen());
}

// A key or button changed on the options screen of one run is in the settings file and plays
// in the next, read through --config. By keyboard: Space becomes player 1's fire (Left Shift is
// refused on the way) and starts a game, and Right Shift no longer does. By controller alone: Start
// opens the options, the stick and A reach player 1's fire, B is refused (the chainsaw's), the
// right shoulder taken, and Start closes.
TEST(OptionsScreenRun, ARebindingIsSavedAndUsedAfterARestart) {
    struct Case {
        const char* name;
        const char* script;
        const char* saved;  // added to the file
        const char* play;   // starts a game from the menu in the next run
        const char* old;    // no longer does
        int lag;            // frames from a press to the players' controls
    } cases[] = {
        {"keys",
         "350 tap TAB\n352 tap RETURN\n354 tap DOWN\n356 tap DOWN\n358 tap RETURN\n"
         "360 tap LSHIFT\n362 tap SPACE\n364 tap TAB\n380 tap SPACE\n",
         "fire = Space\n", "360 tap SPACE\n", "360 tap RSHIFT\n", 2},
        {"pad",
         "350 joy 0 button 6 down\n351 joy 0 button 6 up\n352 joy 0 button 0 down\n"
         "353 joy 0 button 0 up\n354 joy 0 axis y 1024\n355 joy 0 axis y 0\n"
         "356 joy 0 axis y 1024\n357 joy 0 axis y 0\n358 joy 0 button 0 down\n"
         "359 joy 0 button 0 up\n360 joy 0 button 1 down\n361 joy 0 button 1 up\n"
         "362 joy 0 button 10 down\n363 joy 0 button 10 up\n364 joy 0 button 6 down\n"
         "365 joy 0 button 6 up\n380 joy 0 button 10 down\n",
         "\n[controller1]\nfire = Right Shoulder\n", "360 joy 0 button 10 down\n",
         "360 joy 0 button 0 down\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string dir = screen_run::scratchDir(c.name);
        std::string config = dir + "/parapet.ini";
        std::string args = "--frames 400 --joysticks 1 --config " + screen_run::quoted(config);
        writeText(config, "; my keys\n[player1]\nleft = Left\n");
        screen_run::Result first = screen_run::run(dir, c.script, args);
        ASSERT_EQ(first.exitCode, 0) << first.errors;
        EXPECT_EQ(readText(config), std::string("; my keys\n[player1]\nleft = Left\n") + c.saved);
        // The menu saw none of the options screen's presses and takes the new one at once.
        EXPECT_EQ(first.stateChange(15, 30), 380 + c.lag);

        for (auto [script, starts] : {std::pair{c.play, true}, {c.old, false}}) {
            std::string again = screen_run::scratchDir(c.name + std::string(starts ? "1" : "0"));
            screen_run::Result second = screen_run::run(again, script, args);
            ASSERT_EQ(second.exitCode, 0) << second.errors;
            EXPECT_EQ(second.stateChange(15, 30), starts ? 360 + c.lag : -1) << script;
        }
    }
}

}  // namespace
