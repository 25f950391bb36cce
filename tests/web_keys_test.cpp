#include "platform/web/web_keys.h"

#include <SDL_keyboard.h>
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/sdl/key_table.h"

namespace {

// The browser must offer every key the installed game maps, under the same code, and read
// the settings file's key names exactly as SDL does, so one file binds the same keys in both.
TEST(WebKeys, EveryKeyOfTheSdlBackendHasOneRowWithSdlsNameAndItsOwnDomCode) {
    int mapped = 0;
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        int dik = dikFromScancode(static_cast<SDL_Scancode>(s));
        if (dik == 0) continue;
        ++mapped;
        int rows = 0;
        for (const WebKey& key : webKeys()) {
            if (key.dik != dik) continue;
            ++rows;
            EXPECT_STREQ(key.name, SDL_GetScancodeName(static_cast<SDL_Scancode>(s))) << dik;
            EXPECT_EQ(dikFromDomCode(key.domCode), dik) << key.domCode;
            std::string lower = key.name;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (*key.name != '\0') {
                EXPECT_EQ(webKeyCodeFromName(lower.c_str()), dik) << key.name;
            }
        }
        EXPECT_EQ(rows, 1) << "key " << dik;
    }
    EXPECT_EQ(static_cast<int>(webKeys().size()), mapped);
    EXPECT_EQ(webKeyCodeFromName(""), 0);
    EXPECT_EQ(webKeyCodeFromName("Left Shoe"), 0);
    EXPECT_EQ(dikFromDomCode("Fn"), 0);
}

}  // namespace
