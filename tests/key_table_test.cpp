#include <gtest/gtest.h>

#include <set>

#include "platform/sdl/key_table.h"

namespace {

// The codes below are DirectInput's published DIK_ values, not our table's.
struct NamedKey {
    SDL_Scancode scancode;
    int dik;
    const char* name;
};

TEST(KeyTable, KeysTheGameReadsHaveTheirDirectInputCodes) {
    const NamedKey keys[] = {
        {SDL_SCANCODE_ESCAPE, 1, "ESCAPE"},     {SDL_SCANCODE_1, 2, "1"},
        {SDL_SCANCODE_0, 11, "0"},              {SDL_SCANCODE_BACKSPACE, 14, "BACK"},
        {SDL_SCANCODE_Q, 16, "Q"},              {SDL_SCANCODE_E, 18, "E"},
        {SDL_SCANCODE_P, 25, "P"},              {SDL_SCANCODE_RETURN, 28, "RETURN"},
        {SDL_SCANCODE_LCTRL, 29, "LCONTROL"},   {SDL_SCANCODE_A, 30, "A"},
        {SDL_SCANCODE_D, 32, "D"},              {SDL_SCANCODE_G, 34, "G"},
        {SDL_SCANCODE_L, 38, "L"},              {SDL_SCANCODE_LSHIFT, 42, "LSHIFT"},
        {SDL_SCANCODE_Z, 44, "Z"},              {SDL_SCANCODE_X, 45, "X"},
        {SDL_SCANCODE_M, 50, "M"},              {SDL_SCANCODE_RSHIFT, 54, "RSHIFT"},
        {SDL_SCANCODE_LALT, 56, "LMENU"},       {SDL_SCANCODE_SPACE, 57, "SPACE"},
        {SDL_SCANCODE_F1, 59, "F1"},            {SDL_SCANCODE_F10, 68, "F10"},
        {SDL_SCANCODE_F11, 87, "F11"},          {SDL_SCANCODE_F12, 88, "F12"},
        {SDL_SCANCODE_KP_7, 71, "NUMPAD7"},     {SDL_SCANCODE_KP_0, 82, "NUMPAD0"},
        {SDL_SCANCODE_KP_ENTER, 156, "NUMPADENTER"},
        {SDL_SCANCODE_RCTRL, 157, "RCONTROL"},  {SDL_SCANCODE_KP_DIVIDE, 181, "DIVIDE"},
        {SDL_SCANCODE_RALT, 184, "RMENU"},      {SDL_SCANCODE_UP, 200, "UP"},
        {SDL_SCANCODE_LEFT, 203, "LEFT"},       {SDL_SCANCODE_RIGHT, 205, "RIGHT"},
        {SDL_SCANCODE_DOWN, 208, "DOWN"},       {SDL_SCANCODE_DELETE, 211, "DELETE"},
    };
    for (const NamedKey& key : keys) {
        EXPECT_EQ(dikFromScancode(key.scancode), key.dik) << key.name;
        EXPECT_EQ(scancodeFromDik(key.dik), key.scancode) << key.name;
    }
}

TEST(KeyTable, EveryKeyOfA105KeyKeyboardHasItsOwnCode) {
    const SDL_Scancode keyboard[] = {
        // function row
        SDL_SCANCODE_ESCAPE, SDL_SCANCODE_F1, SDL_SCANCODE_F2, SDL_SCANCODE_F3, SDL_SCANCODE_F4,
        SDL_SCANCODE_F5, SDL_SCANCODE_F6, SDL_SCANCODE_F7, SDL_SCANCODE_F8, SDL_SCANCODE_F9,
        SDL_SCANCODE_F10, SDL_SCANCODE_F11, SDL_SCANCODE_F12, SDL_SCANCODE_PRINTSCREEN,
        SDL_SCANCODE_SCROLLLOCK, SDL_SCANCODE_PAUSE,
        // digits row
        SDL_SCANCODE_GRAVE, SDL_SCANCODE_1, SDL_SCANCODE_2, SDL_SCANCODE_3, SDL_SCANCODE_4,
        SDL_SCANCODE_5, SDL_SCANCODE_6, SDL_SCANCODE_7, SDL_SCANCODE_8, SDL_SCANCODE_9,
        SDL_SCANCODE_0, SDL_SCANCODE_MINUS, SDL_SCANCODE_EQUALS, SDL_SCANCODE_BACKSPACE,
        // top letter row
        SDL_SCANCODE_TAB, SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R,
        SDL_SCANCODE_T, SDL_SCANCODE_Y, SDL_SCANCODE_U, SDL_SCANCODE_I, SDL_SCANCODE_O,
        SDL_SCANCODE_P, SDL_SCANCODE_LEFTBRACKET, SDL_SCANCODE_RIGHTBRACKET,
        // home row (BACKSLASH is the ISO '#' key)
        SDL_SCANCODE_CAPSLOCK, SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D, SDL_SCANCODE_F,
        SDL_SCANCODE_G, SDL_SCANCODE_H, SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L,
        SDL_SCANCODE_SEMICOLON, SDL_SCANCODE_APOSTROPHE, SDL_SCANCODE_BACKSLASH,
        SDL_SCANCODE_RETURN,
        // bottom letter row
        SDL_SCANCODE_LSHIFT, SDL_SCANCODE_NONUSBACKSLASH, SDL_SCANCODE_Z, SDL_SCANCODE_X,
        SDL_SCANCODE_C, SDL_SCANCODE_V, SDL_SCANCODE_B, SDL_SCANCODE_N, SDL_SCANCODE_M,
        SDL_SCANCODE_COMMA, SDL_SCANCODE_PERIOD, SDL_SCANCODE_SLASH, SDL_SCANCODE_RSHIFT,
        // space row
        SDL_SCANCODE_LCTRL, SDL_SCANCODE_LGUI, SDL_SCANCODE_LALT, SDL_SCANCODE_SPACE,
        SDL_SCANCODE_RALT, SDL_SCANCODE_RGUI, SDL_SCANCODE_APPLICATION, SDL_SCANCODE_RCTRL,
        // editing block and arrows
        SDL_SCANCODE_INSERT, SDL_SCANCODE_HOME, SDL_SCANCODE_PAGEUP, SDL_SCANCODE_DELETE,
        SDL_SCANCODE_END, SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_UP, SDL_SCANCODE_LEFT,
        SDL_SCANCODE_DOWN, SDL_SCANCODE_RIGHT,
        // numeric keypad
        SDL_SCANCODE_NUMLOCKCLEAR, SDL_SCANCODE_KP_DIVIDE, SDL_SCANCODE_KP_MULTIPLY,
        SDL_SCANCODE_KP_MINUS, SDL_SCANCODE_KP_7, SDL_SCANCODE_KP_8, SDL_SCANCODE_KP_9,
        SDL_SCANCODE_KP_PLUS, SDL_SCANCODE_KP_4, SDL_SCANCODE_KP_5, SDL_SCANCODE_KP_6,
        SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_2, SDL_SCANCODE_KP_3, SDL_SCANCODE_KP_ENTER,
        SDL_SCANCODE_KP_0, SDL_SCANCODE_KP_PERIOD,
    };
    ASSERT_EQ(std::size(keyboard), 105u);
    std::set<int> codes;
    for (SDL_Scancode scancode : keyboard) {
        int dik = dikFromScancode(scancode);
        EXPECT_GT(dik, 0) << "scancode " << static_cast<int>(scancode);
        EXPECT_LE(dik, 255) << "scancode " << static_cast<int>(scancode);
        EXPECT_TRUE(codes.insert(dik).second)
            << "scancode " << static_cast<int>(scancode) << " shares code " << dik;
    }
}

// Walking both directions over their whole ranges catches a key entered twice or a code
// given to two keys, wherever it sits in the table.
TEST(KeyTable, MappingIsOneToOneInBothDirections) {
    int mapped = 0;
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        auto scancode = static_cast<SDL_Scancode>(s);
        int dik = dikFromScancode(scancode);
        if (dik == 0) continue;
        ++mapped;
        EXPECT_EQ(scancodeFromDik(dik), scancode) << "scancode " << s << " -> " << dik;
    }
    int reverse = 0;
    for (int dik = 0; dik < 256; ++dik) {
        SDL_Scancode scancode = scancodeFromDik(dik);
        if (scancode == SDL_SCANCODE_UNKNOWN) continue;
        ++reverse;
        EXPECT_EQ(dikFromScancode(scancode), dik) << "code " << dik;
    }
    EXPECT_EQ(mapped, reverse);
    EXPECT_GE(mapped, 105);
}

TEST(KeyTable, OutOfRangeInputsMapToNothing) {
    EXPECT_EQ(dikFromScancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(dikFromScancode(static_cast<SDL_Scancode>(-1)), 0);
    EXPECT_EQ(dikFromScancode(static_cast<SDL_Scancode>(SDL_NUM_SCANCODES)), 0);
    EXPECT_EQ(scancodeFromDik(0), SDL_SCANCODE_UNKNOWN);
    EXPECT_EQ(scancodeFromDik(-5), SDL_SCANCODE_UNKNOWN);
    EXPECT_EQ(scancodeFromDik(256), SDL_SCANCODE_UNKNOWN);
    EXPECT_EQ(scancodeFromDik(0xFF), SDL_SCANCODE_UNKNOWN);
}

}  // namespace
