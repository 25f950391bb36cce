#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_clock.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_joysticks.h"
#include "platform/sdl/sdl_keyboard.h"

bool createSdlPlatform(const SdlSettings& settings, Platform& platform, std::string& error) {
    // This SDL reads the window class from the environment when the video subsystem
    // starts; a class the player set there himself is left alone.
    if (!settings.windowClass.empty()) {
        setenv("SDL_VIDEO_X11_WMCLASS", settings.windowClass.c_str(), 0);
        setenv("SDL_VIDEO_WAYLAND_WMCLASS", settings.windowClass.c_str(), 0);
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        error = std::string("cannot start the display: ") + SDL_GetError();
        SDL_Quit();
        return false;
    }
    auto library = std::make_shared<SdlLibrary>();
    // With no screen to use SDL falls back to drawing into memory; a player would then see
    // nothing at all. Only someone who asked for such a driver by name gets it.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = std::getenv("SDL_VIDEODRIVER");
    bool invisible = driver != nullptr &&
                     (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
    if (invisible && (wanted == nullptr || std::strstr(wanted, driver) == nullptr)) {
        error = "no screen found (neither DISPLAY nor WAYLAND_DISPLAY leads to one)";
        return false;
    }
    // Without controller support the game is still playable from the keyboard.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "parapet: no game controllers (%s); keyboard only\n", SDL_GetError());
    }
    auto holdBack = std::make_shared<KeyHoldBack>();
    std::unique_ptr<SdlDisplay> display = SdlDisplay::create(settings, library, holdBack, error);
    if (!display) return false;
    platform.display = std::move(display);
    platform.keyboard = std::make_unique<SdlKeyboard>(library, holdBack);
    platform.joysticks = std::make_unique<SdlJoysticks>(library);
    platform.audio = std::make_unique<SdlAudio>(library);
    platform.clock = std::make_unique<SdlClock>(library);
    return true;
}
