#pragma once
#include <cstdint>

#include "platform/input.h"
#include "platform/sdl/key_hold_back.h"

// The browser's keyboard events on the whole window, as a 256-byte DirectInput snapshot.
// Keys the game knows never reach the page (arrows and Space do not scroll, Tab does not move
// the focus away); function keys and the system's own combinations still do.
class WebKeyboard : public KeyboardDevice {
public:
    WebKeyboard();
    ~WebKeyboard() override;
    bool read(uint8_t state[256]) override;

    // Event handling, public for the callbacks. Returns whether the page must not see it.
    bool keyEvent(int dik, bool down, bool repeat, bool alt, bool meta);
    // Focus gone: the releases of keys held now will never arrive.
    void releaseAll();

private:
    uint8_t down_[256] = {};
    // Pressed since the last snapshot: a tap shorter than a frame still shows once.
    uint8_t pressed_[256] = {};
    // Alt+Enter switches full screen; those keys are kept from the game until let go.
    KeyHoldBack holdBack_;
};
