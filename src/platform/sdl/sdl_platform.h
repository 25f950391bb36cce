#pragma once
#include <string>

#include "platform/platform.h"

struct SdlSettings {
    bool fullscreen = true;  // desktop-size full-screen window; false: a window
    int scale = 2;           // window size as a multiple of 640 x 480
    FitMode fitMode = FitMode::automatic;
    bool scanlines = false;  // darkened lines between the game's pixel rows
    // The window's class (X11 WM_CLASS, Wayland app id), which desktops match to the
    // desktop entry of the same name; empty leaves SDL's default (the program's name).
    std::string windowClass;
};

// Creates the SDL display, keyboard, game controllers, audio output and clock. Returns false
// with a one-line reason in `error` when no display can be opened.
bool createSdlPlatform(const SdlSettings& settings, Platform& platform, std::string& error);

// DirectInput code of a key by SDL's name for it ("Space", "Left Shift", "A"; any case),
// 0 when SDL knows no such key or the game has no code for it. Works without a display, so
// headless runs read the same settings file.
int keyCodeFromName(const char* name);
// SDL's name of the key with this DirectInput code ("Right Shift"), which keyCodeFromName
// reads back; empty for a code no key produces. Works without a display too.
std::string keyNameFromCode(int code);
