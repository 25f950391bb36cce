#pragma once
#include <SDL_scancode.h>

#include <memory>
#include <vector>

#include "platform/input.h"
#include "platform/sdl/key_hold_back.h"
#include "platform/sdl/sdl_library.h"

// Reads SDL's own key state, which the display's event pump keeps current.
class SdlKeyboard : public KeyboardDevice {
public:
    SdlKeyboard(SdlLibraryShare library, std::shared_ptr<KeyHoldBack> holdBack);
    bool read(uint8_t state[256]) override;

private:
    struct MappedKey {
        SDL_Scancode scancode;
        uint8_t dik;
    };
    SdlLibraryShare library_;
    std::shared_ptr<KeyHoldBack> holdBack_;
    std::vector<MappedKey> keys_;
};
