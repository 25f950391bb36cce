#include <SDL_keyboard.h>

#include "platform/sdl/key_table.h"
#include "platform/sdl/sdl_platform.h"

int keyCodeFromName(const char* name) {
    if (name == nullptr || *name == '\0') return 0;
    // A pure table lookup in SDL: it needs no SDL_Init.
    SDL_Scancode scancode = SDL_GetScancodeFromName(name);
    return scancode == SDL_SCANCODE_UNKNOWN ? 0 : dikFromScancode(scancode);
}

std::string keyNameFromCode(int code) {
    SDL_Scancode scancode = scancodeFromDik(code);
    if (scancode == SDL_SCANCODE_UNKNOWN) return {};
    const char* name = SDL_GetScancodeName(scancode);
    return name != nullptr ? name : "";
}
