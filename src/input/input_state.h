#pragma once
#include <cstdint>
#include <vector>

#include "platform/headless/input_script.h"
#include "platform/input.h"

// What a stream of input commands has left held: the keys down, each controller's buttons
// and sticks. A recording that starts in the middle of a run begins with it, and a run that
// hands its devices back (the demo ending) restores them from it.
struct InputState {
    static constexpr int maxControllers = 8;
    uint8_t keys[256] = {};
    JoystickState pads[maxControllers] = {};

    void apply(const InputCommand& command);
    // The commands (stamped `frame`) that take released, centred devices to this state.
    void heldCommands(int frame, std::vector<InputCommand>& out) const;
    // The commands (stamped `frame`) that release and centre everything held.
    void releaseCommands(int frame, std::vector<InputCommand>& out) const;
    // Whether anything is down or off centre.
    bool anyHeld() const;
    // Sets the devices to exactly this state.
    void applyTo(ScriptedKeyboard* keyboard, SimulatedJoysticks* joysticks) const;
};
