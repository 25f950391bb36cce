#include "engine/engine.h"

void Engine::bindKeys(int slot, int up, int down, int left, int right, int buttonCount,
                      const int* buttonKeys) {
    if (slot < 0 || slot >= playerSlots) return;
    upKey_[slot] = up;
    downKey_[slot] = down;
    leftKey_[slot] = left;
    rightKey_[slot] = right;
    // Only 32 buttons fit the bit set.
    buttonCount_[slot] =
        buttonKeys == nullptr ? 0 : (buttonCount < 0 ? 0 : (buttonCount > 32 ? 32 : buttonCount));
    buttonKeys_[slot] = buttonKeys;
    keyboardBound_[slot] = true;
}

void Engine::readControls() {
    for (int slot = 0; slot < playerSlots; ++slot) {
        previousButtons_[slot] = buttons_[slot];
        previousDirections_[slot] = directions_[slot];
        buttons_[slot] = 0;
        directions_[slot] = 0;
    }

    // The keyboard snapshot is the one taken in the previous frame step, so player controls
    // follow the keys one frame after isKeyDown does.
    for (int slot = 0; slot < playerSlots; ++slot) {
        if (!keyboardBound_[slot]) continue;
        uint32_t dirs = 0;
        if (isKeyDown(upKey_[slot])) dirs |= 0x1;
        if (isKeyDown(downKey_[slot])) dirs |= 0x2;
        if (isKeyDown(leftKey_[slot])) dirs |= 0x4;
        if (isKeyDown(rightKey_[slot])) dirs |= 0x8;
        directions_[slot] = dirs;
        uint32_t held = 0;
        for (int b = 0; b < buttonCount_[slot]; ++b)
            if (isKeyDown(buttonKeys_[slot][b])) held |= 1u << b;
        buttons_[slot] = held;
    }

    if (joystickSource_ == nullptr) return;
    for (int j = 0; j < joystickCount_ && j < playerSlots; ++j) {
        JoystickState state;
        bool ok = joystickSource_->read(joystickDevice_[j], state);
        if (!ok) {
            joystickSource_->acquire(joystickDevice_[j]);
            ok = joystickSource_->read(joystickDevice_[j], state);
        }
        // A pad that stays unreadable (unplugged) adds nothing rather than stale input.
        joystickReadable_[j] = ok;
        if (!ok) continue;
        uint32_t held = 0;
        for (int b = 0; b < 32; ++b)
            if (state.buttons[b] & 0x80) held |= 1u << b;
        buttons_[j] |= held;
        // Half the axis range; exactly +-512 still counts as centred.
        uint32_t dirs = 0;
        if (state.x < -512) dirs |= 0x4;
        if (state.x > 512) dirs |= 0x8;
        if (state.y < -512) dirs |= 0x1;
        if (state.y > 512) dirs |= 0x2;
        directions_[j] |= dirs;
    }
}

int Engine::attachedJoysticks() const {
    int attached = 0;
    for (int j = 0; j < joystickCount_ && j < playerSlots; ++j)
        if (joystickReadable_[j]) ++attached;
    return attached;
}
