#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <cstdio>

#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_joysticks.h"
#include "platform/sdl/sdl_keyboard.h"

bool createSdlPlatform(const SdlSettings& settings, Platform& platform, std::string& error) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        error = std::string("cannot start the display: ") + SDL_GetError();
        SDL_Quit();
        return false;
    }
    auto library = std::make_shared<SdlLibrary>();
    // Without controller support the game is still playable from the keyboard.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "parapet: no game controllers (%s); keyboard only\n",
                     SDL_GetError());
    }
    std::unique_ptr<SdlDisplay> display = SdlDisplay::create(settings, library, error);
    if (!display) return false;
    platform.display = std::move(display);
    platform.keyboard = std::make_unique<SdlKeyboard>(library);
    platform.joysticks = std::make_unique<SdlJoysticks>(library);
    platform.audio = std::make_unique<SdlAudio>(library);
    platform.clock = std::make_unique<SdlClock>(library);
    return true;
}
