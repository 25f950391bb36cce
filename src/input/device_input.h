#pragma once
#include <cstdint>
#include <vector>

#include "input/frame_input.h"
#include "input/frame_input_source.h"
#include "input/input_reader.h"
#include "input/input_state.h"
#include "platform/headless/headless_platform.h"

// The frame input of one player stream: commands (a live capture, an input script, a
// recording, the autopilot, the network) drive a keyboard and controllers of their own, which
// are read through key bindings into what the players did.
class DeviceInput {
public:
    // The devices may belong to someone else (a headless platform's); either may be null.
    // `read` is the keyboard read, when it is not the scripted one (a test's own player).
    DeviceInput(ScriptedKeyboard* keyboard, SimulatedJoysticks* joysticks,
                KeyboardDevice* read = nullptr);
    // Devices of its own, with `controllers` controllers.
    explicit DeviceInput(int controllers);

    InputReader& reader() { return reader_; }
    ScriptedKeyboard* keyboard() { return keyboard_; }
    SimulatedJoysticks* joysticks() { return joysticks_; }

    // Applies the commands to the devices and reads the frame's input.
    FrameInput read(const std::vector<InputCommand>& commands, uint32_t clock);
    // What the commands so far hold down.
    const InputState& held() const { return held_; }
    // The keyboard snapshot and the input of the reading before the last one (the input
    // trace reports the frame before, as the game sees it).
    const uint8_t* previousSnapshot() const { return previousSnapshot_; }
    const FrameInput& previousInput() const { return previousInput_; }

private:
    std::unique_ptr<ScriptedKeyboard> ownKeyboard_;
    std::unique_ptr<SimulatedJoysticks> ownJoysticks_;
    ScriptedKeyboard* keyboard_;
    SimulatedJoysticks* joysticks_;
    InputReader reader_;
    InputState held_;
    uint8_t previousSnapshot_[256] = {};
    FrameInput previousInput_;
    FrameInput lastInput_;
};
