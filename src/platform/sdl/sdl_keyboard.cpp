#include "platform/sdl/sdl_keyboard.h"

#include <SDL.h>

#include <cstring>

#include "platform/sdl/key_table.h"

SdlKeyboard::SdlKeyboard(SdlLibraryShare library, std::shared_ptr<KeyHoldBack> holdBack)
    : library_(std::move(library)), holdBack_(std::move(holdBack)) {
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
        auto scancode = static_cast<SDL_Scancode>(s);
        int dik = dikFromScancode(scancode);
        if (dik != 0) keys_.push_back({scancode, static_cast<uint8_t>(dik)});
    }
    SDL_AddEventWatch(&SdlKeyboard::watchEvent, this);
}

SdlKeyboard::~SdlKeyboard() { SDL_DelEventWatch(&SdlKeyboard::watchEvent, this); }

int SdlKeyboard::watchEvent(void* self, SDL_Event* event) {
    if (event->type != SDL_KEYDOWN || event->key.repeat != 0) return 1;
    // A key pressed and let go between two readings still counts once: a quick tap (a name's
    // letter, a pause) is never lost, whatever the frame rate.
    int dik = dikFromScancode(event->key.keysym.scancode);
    if (dik != 0) static_cast<SdlKeyboard*>(self)->tapped_[dik] = true;
    return 1;
}

bool SdlKeyboard::read(uint8_t state[256]) {
    int count = 0;
    const Uint8* down = SDL_GetKeyboardState(&count);
    if (down == nullptr) return false;
    std::memset(state, 0, 256);
    for (const MappedKey& key : keys_) {
        if (key.scancode < count && down[key.scancode]) state[key.dik] = 0x80;
    }
    for (int dik = 0; dik < 256; ++dik) {
        if (tapped_[dik]) state[dik] = 0x80;
        tapped_[dik] = false;
    }
    if (holdBack_) holdBack_->apply(state);
    return true;
}
