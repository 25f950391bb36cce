#include "platform/sdl/key_hold_back.h"

void KeyHoldBack::holdBack(int dik) {
    if (dik > 0 && dik < 256) held_[dik] = true;
}

void KeyHoldBack::apply(uint8_t state[256]) {
    for (int dik = 0; dik < 256; ++dik) {
        if (!held_[dik]) continue;
        if ((state[dik] & 0x80) == 0) {
            held_[dik] = false;
        } else {
            state[dik] = 0;
        }
    }
}
