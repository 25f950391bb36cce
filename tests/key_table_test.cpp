#include <gtest/gtest.h>

#include "platform/sdl/key_table.h"

namespace {

// The codes below are DirectInput's published DIK_ values, not our table's.
struct NamedKey {
    SDL_Scancode scancode;
    int dik;
    const char* name;
};

TEST(KeyTable, KeysTheGameReadsHaveTheirDirectInputCodes) {
    // The row ends, the keys that moved between keyboard generations and the extended codes.
    const NamedKey keys[] = {
        {SDL_SCANCODE_ESCAPE, 1, "ESCAPE"},   {SDL_SCANCODE_0, 11, "0"},
        {SDL_SCANCODE_P, 25, "P"},            {SDL_SCANCODE_RETURN, 28, "RETURN"},
        {SDL_SCANCODE_LCTRL, 29, "LCONTROL"}, {SDL_SCANCODE_A, 30, "A"},
        {SDL_SCANCODE_Z, 44, "Z"},            {SDL_SCANCODE_LALT, 56, "LMENU"},
        {SDL_SCANCODE_SPACE, 57, "SPACE"},    {SDL_SCANCODE_F10, 68, "F10"},
        {SDL_SCANCODE_F11, 87, "F11"},        {SDL_SCANCODE_KP_ENTER, 156, "NUMPADENTER"},
        {SDL_SCANCODE_RCTRL, 157, "RCONTROL"}, {SDL_SCANCODE_KP_DIVIDE, 181, "DIVIDE"},
        {SDL_SCANCODE_RALT, 184, "RMENU"},    {SDL_SCANCODE_UP, 200, "UP"},
        {SDL_SCANCODE_LEFT, 203, "LEFT"},     {SDL_SCANCODE_DOWN, 208, "DOWN"},
    };
    for (const NamedKey& key : keys) {
        EXPECT_EQ(dikFromScancode(key.scancode), key.dik) << key.name;
        EXPECT_EQ(scancodeFromDik(key.dik), key.scancode) << key.name;
    }
}

// Walking both directions over their whole ranges catches a key entered twice or a code
// given to two keys, wherever it sits in the table.
TEST(KeyTable, MappingIsOneToOneInBothDirectionsAndOutOfRangeMapsToNothing) {
    int mapped = 0, reverse = 0;
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        auto scancode = static_cast<SDL_Scancode>(s);
        int dik = dikFromScancode(scancode);
        if (dik == 0) continue;
        ++mapped;
        EXPECT_TRUE(dik > 0 && dik < 255) << "scancode " << s;
        EXPECT_EQ(scancodeFromDik(dik), scancode) << "scancode " << s << " -> " << dik;
    }
    for (int dik = 0; dik < 256; ++dik) {
        SDL_Scancode scancode = scancodeFromDik(dik);
        if (scancode == SDL_SCANCODE_UNKNOWN) continue;
        ++reverse;
        EXPECT_EQ(dikFromScancode(scancode), dik) << "code " << dik;
    }
    EXPECT_EQ(mapped, reverse);
    EXPECT_GE(mapped, 105);  // a full ISO keyboard
    for (int s : {int(SDL_SCANCODE_UNKNOWN), -1, int(SDL_NUM_SCANCODES)})
        EXPECT_EQ(dikFromScancode(static_cast<SDL_Scancode>(s)), 0) << s;
    for (int dik : {0, -5, 256, 0xFF}) EXPECT_EQ(scancodeFromDik(dik), SDL_SCANCODE_UNKNOWN) << dik;
}

}  // namespace
