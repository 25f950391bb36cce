#pragma once
#include <cstdint>

// Keys pressed for the window rather than for the game (Alt+Enter switches full screen) are
// kept out of the keyboard snapshot until they are let go, so the switch does not also
// fire the buttons bound to Return and Alt.
class KeyHoldBack {
public:
    // Hides the key (a DirectInput code) from snapshots until a snapshot finds it up.
    void holdBack(int dik);
    // Clears held-back keys in the snapshot; a key that is up is no longer held back.
    void apply(uint8_t state[256]);
    bool isHeldBack(int dik) const { return dik >= 0 && dik < 256 && held_[dik]; }

private:
    bool held_[256] = {};
};
