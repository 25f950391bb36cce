#pragma once
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"

// One backend's devices. The shell creates one set (SDL or headless) and hands the parts on.
struct Platform {
    std::unique_ptr<Display> display;
    std::unique_ptr<KeyboardDevice> keyboard;
    std::unique_ptr<JoystickSource> joysticks;
    std::unique_ptr<AudioOutput> audio;
    std::unique_ptr<Clock> clock;
    // The name of a key by its DirectInput code as the settings file writes it ("Right
    // Shift"), empty for a key without one; null when the backend names no keys.
    std::string (*keyName)(int code) = nullptr;
};
