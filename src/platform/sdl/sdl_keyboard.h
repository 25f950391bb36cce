#pragma once
#include <SDL_events.h>
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
    ~SdlKeyboard() override;
    bool read(uint8_t state[256]) override;

private:
    struct MappedKey {
        SDL_Scancode scancode;
        uint8_t dik;
    };
    SdlLibraryShare library_;
    std::shared_ptr<KeyHoldBack> holdBack_;
    std::vector<MappedKey> keys_;
    // The keys pressed since the last snapshot. A Pause key sends its press and release
    // together, and a quick tap can fall between two frames; the snapshot after such a tap
    // still shows the key down once.
    bool tapped_[256] = {};
    static int watchEvent(void* self, SDL_Event* event);
};
