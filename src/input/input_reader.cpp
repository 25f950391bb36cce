#include "input/input_reader.h"

#include <algorithm>
#include <cstdio>

InputReader::InputReader(KeyboardDevice* keyboard, JoystickSource* joysticks)
    : keyboard_(keyboard), joysticks_(joysticks) {
    if (joysticks_ != nullptr) {
        enumeratedJoysticks_ = std::clamp(joysticks_->enumerate(), 0, maxJoystickIds);
        for (int i = 0; i < enumeratedJoysticks_; ++i) joystickIdentity_[i] = i;
    }
}

int InputReader::setUpJoysticks(int maxCount) {
    if (joysticks_ == nullptr) return joystickCount_;
    int n = std::min(maxCount, enumeratedJoysticks_);
    // Slots must stay contiguous, so the first controller that cannot be opened ends the
    // set-up: a later one would otherwise feed the wrong player.
    for (int i = joystickCount_; i < n; ++i) {
        if (!joysticks_->setUp(i, joystickIdentity_[i])) {
            std::fprintf(
                stderr, "parapet: game controller %d could not be opened; it is not used\n", i + 1);
            break;
        }
        joystickDevice_[i] = i;
        joystickReadable_[i] = true;
        ++joystickCount_;
    }
    return joystickCount_;
}

int InputReader::setUpNewJoysticks(int maxCount) {
    if (joysticks_ == nullptr || joystickCount_ >= maxCount) return joystickCount_;
    int attached = std::min(joysticks_->enumerate(), maxJoystickIds);
    if (attached <= enumeratedJoysticks_) return joystickCount_;
    int firstNew = enumeratedJoysticks_;
    for (int i = firstNew; i < attached; ++i) joystickIdentity_[i] = i;
    enumeratedJoysticks_ = attached;
    for (int i = firstNew; i < attached && joystickCount_ < maxCount; ++i) {
        if (!joysticks_->setUp(joystickCount_, joystickIdentity_[i])) {
            std::fprintf(stderr, "parapet: the new game controller could not be opened\n");
            break;
        }
        joystickDevice_[joystickCount_] = joystickCount_;
        joystickReadable_[joystickCount_] = true;
        ++joystickCount_;
    }
    return joystickCount_;
}

int InputReader::attachedJoysticks() const {
    int attached = 0;
    for (int j = 0; j < joystickCount_ && j < playerSlots; ++j)
        if (joystickReadable_[j]) ++attached;
    return attached;
}

void InputReader::bindKeys(int slot, int up, int down, int left, int right, int buttonCount,
                           const int* buttonKeys) {
    if (slot < 0 || slot >= playerSlots) return;
    upKey_[slot] = up;
    downKey_[slot] = down;
    leftKey_[slot] = left;
    rightKey_[slot] = right;
    // Only 32 buttons fit the bit set.
    buttonCount_[slot] = buttonKeys == nullptr ? 0 : std::clamp(buttonCount, 0, 32);
    for (int b = 0; b < buttonCount_[slot]; ++b) buttonKeys_[slot][b] = buttonKeys[b];
    keyboardBound_[slot] = true;
}

void InputReader::bindPlayerKeys(const PlayerKeys keys[keyboardPlayers]) {
    for (int player = 0; player < keyboardPlayers; ++player) {
        const PlayerKeys& k = keys[player];
        const int buttons[3] = {k.fire, k.chainsaw, k.bomb};
        bindKeys(player, k.up, k.down, k.left, k.right, 3, buttons);
    }
}

void InputReader::bindPlayerPads(const PadButtons pads[keyboardPlayers]) {
    for (int player = 0; player < keyboardPlayers; ++player) pads_[player] = pads[player];
}

namespace {

// The game's buttons a controller's held buttons press through a player's bindings. With
// A, B and X on fire, chainsaw and bomb every button is itself.
uint32_t throughBindings(uint32_t held, const PadButtons& pad) {
    uint32_t actions = 0;
    uint32_t bound = 0;
    const int buttons[padActionCount] = {pad.fire, pad.chainsaw, pad.bomb};
    for (int a = 0; a < padActionCount; ++a) {
        uint32_t bit = 1u << (buttons[a] & 31);
        bound |= bit;
        if (held & bit) actions |= 1u << a;
    }
    constexpr uint32_t actionBits = (1u << padActionCount) - 1;
    return (held & ~bound & ~actionBits) | actions;
}

}  // namespace

FrameInput InputReader::read(uint32_t clock) {
    FrameInput input;
    input.clock = clock;
    input.padsAnswering = static_cast<uint8_t>(attachedJoysticks());

    // The keyboard snapshot is the one taken in the previous frame, so player controls
    // follow the keys one frame after the screens' own keys do.
    for (int slot = 0; slot < inputPlayers; ++slot) {
        if (!keyboardBound_[slot]) continue;
        uint8_t dirs = 0;
        if (isKeyDown(upKey_[slot])) dirs |= 0x1;
        if (isKeyDown(downKey_[slot])) dirs |= 0x2;
        if (isKeyDown(leftKey_[slot])) dirs |= 0x4;
        if (isKeyDown(rightKey_[slot])) dirs |= 0x8;
        input.players[slot].directions = dirs;
        uint32_t held = 0;
        for (int b = 0; b < buttonCount_[slot]; ++b)
            if (isKeyDown(buttonKeys_[slot][b])) held |= 1u << b;
        input.players[slot].buttons = held;
    }

    if (joysticks_ != nullptr) {
        for (int j = 0; j < joystickCount_ && j < playerSlots; ++j) {
            JoystickState state;
            bool ok = joysticks_->read(joystickDevice_[j], state);
            if (!ok) {
                joysticks_->acquire(joystickDevice_[j]);
                ok = joysticks_->read(joystickDevice_[j], state);
            }
            // A pad that stays unreadable (unplugged) adds nothing rather than stale input.
            joystickReadable_[j] = ok;
            if (!ok || j >= inputPlayers) continue;
            uint32_t held = 0;
            for (int b = 0; b < 32; ++b)
                if (state.buttons[b] & 0x80) held |= 1u << b;
            input.players[j].buttons |= throughBindings(held, pads_[j]);
            // Half the axis range; exactly +-512 still counts as centred.
            uint8_t dirs = 0;
            if (state.x < -512) dirs |= 0x4;
            if (state.x > 512) dirs |= 0x8;
            if (state.y < -512) dirs |= 0x1;
            if (state.y > 512) dirs |= 0x2;
            input.players[j].directions |= dirs;
        }
    }

    if (keyboard_ != nullptr) {
        uint8_t fresh[256];
        // A failed read (the window lost the keyboard) keeps the last snapshot, as if nothing
        // had changed since.
        if (keyboard_->read(fresh))
            for (int i = 0; i < 256; ++i) keyboardState_[i] = fresh[i];
    }
    // One keyboard: every player's.
    const uint64_t keys = gameKeysHeld(keyboardState_);
    for (PlayerInput& p : input.players) p.keys = keys;
    return input;
}
