#pragma once
#include <cstdint>

#include "input/default_bindings.h"
#include "input/frame_input.h"
#include "platform/input.h"

// Reads the keyboard and game controllers of the machine the game runs on and turns them,
// through this machine's key bindings, into the frame's input. Player slot p reads the keys
// bound to it and controller p; player 3 has no keys.
//
// The players' controls follow the keyboard one frame late (they are made from the snapshot
// taken the frame before) and the controllers in the frame itself, as the game has always
// read them.
class InputReader {
public:
    static constexpr int playerSlots = 8;
    static constexpr int maxJoystickIds = 8;

    // Either device may be null (no keyboard, no controller support).
    InputReader(KeyboardDevice* keyboard, JoystickSource* joysticks);

    // Opens the controllers attached now, up to maxCount; returns how many are set up.
    int setUpJoysticks(int maxCount);
    // Sets up controllers plugged in since into the next free slots, up to maxCount in all;
    // returns joystickCount.
    int setUpNewJoysticks(int maxCount);
    int joystickCount() const { return joystickCount_; }
    int enumeratedJoysticks() const { return enumeratedJoysticks_; }
    // Set-up controllers that could be read at the last reading (the others are unplugged).
    int attachedJoysticks() const;

    void bindKeys(int slot, int up, int down, int left, int right, int buttonCount,
                  const int* buttonKeys);
    void bindPlayerKeys(const PlayerKeys keys[keyboardPlayers]);
    // The controller buttons of players 1 and 2's fire, chainsaw and smart bomb. A button bound
    // to an action presses that action only; A, B and X left unbound press nothing, and every
    // other button (Start, Y) stays itself.
    void bindPlayerPads(const PadButtons pads[keyboardPlayers]);

    // One frame's reading. `clock` goes into the input as it is.
    FrameInput read(uint32_t clock);
    // The keyboard snapshot of the last reading.
    const uint8_t* keyboardSnapshot() const { return keyboardState_; }
    bool isKeyDown(int code) const { return (keyboardState_[code & 0xFF] & 0x80) != 0; }

private:
    KeyboardDevice* keyboard_;
    JoystickSource* joysticks_;
    int joystickIdentity_[maxJoystickIds] = {};
    int enumeratedJoysticks_ = 0;
    int joystickCount_ = 0;
    int joystickDevice_[playerSlots] = {};
    bool joystickReadable_[playerSlots] = {};
    int upKey_[playerSlots] = {};
    int downKey_[playerSlots] = {};
    int leftKey_[playerSlots] = {};
    int rightKey_[playerSlots] = {};
    int buttonKeys_[playerSlots][32] = {};
    int buttonCount_[playerSlots] = {};
    bool keyboardBound_[playerSlots] = {};
    PadButtons pads_[inputPlayers];
    uint8_t keyboardState_[256] = {};
};
