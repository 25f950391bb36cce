#pragma once
#include <string>

#include "platform/platform.h"

struct SdlSettings {
    bool fullscreen = true;  // desktop-size full-screen window; false: a window
    int scale = 2;           // window size as a multiple of 640 x 480
};

// Creates the SDL display, keyboard, game controllers, audio output and clock. Returns false
// with a one-line reason in `error` when no display can be opened.
bool createSdlPlatform(const SdlSettings& settings, Platform& platform, std::string& error);
