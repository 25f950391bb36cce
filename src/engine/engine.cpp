#include "engine/engine.h"

#include <algorithm>

#include "shell/log.h"

Engine* theEngine = nullptr;

Engine::Engine(Display* display, KeyboardDevice* keyboard, JoystickSource* joysticks, int width,
               int height, int bitsPerPixel)
    : display_(display),
      keyboardDevice_(keyboard),
      joystickSource_(joysticks),
      bitsPerPixel_(bitsPerPixel),
      width_(width),
      height_(height) {
    logEnabled = true;
    pictureSurface_ = std::make_unique<Surface>(width, height);
    backgroundSurface_ = std::make_unique<Surface>(width, height);
    // Sprites may hang 100 pixels over every edge and still be drawn in part.
    setClipRect(-100, -100, width + 100, height + 100);
    if (joystickSource_ != nullptr) {
        enumeratedJoysticks_ = std::clamp(joystickSource_->enumerate(), 0, maxJoystickIds);
        for (int i = 0; i < enumeratedJoysticks_; ++i) joystickIdentity_[i] = i;
    }
    setUpKeyboard();
    for (int slot = 0; slot < playerSlots; ++slot) {
        directions_[slot] = 0;
        buttons_[slot] = 0;
        keyboardBound_[slot] = false;
    }
}

Engine::~Engine() {
    if (theEngine == this) theEngine = nullptr;
}

void Engine::setClipRect(int left, int top, int right, int bottom) {
    clip_ = Rect{left, top, right, bottom};
}

void Engine::clearAllSurfaces() {
    backgroundSurface_->fill(0);
    pictureSurface_->fill(0);
    backBuffer()->fill(0);
    frontSurface()->fill(0);
}

void Engine::restoreBackBuffer() { backBuffer()->copyFrom(*backgroundSurface_); }
