#include "input/device_input.h"

#include <cstring>

DeviceInput::DeviceInput(ScriptedKeyboard* keyboard, SimulatedJoysticks* joysticks,
                         KeyboardDevice* read)
    : keyboard_(keyboard),
      joysticks_(joysticks),
      reader_(read != nullptr ? read : keyboard, joysticks) {}

DeviceInput::DeviceInput(int controllers)
    : ownKeyboard_(std::make_unique<ScriptedKeyboard>()),
      ownJoysticks_(std::make_unique<SimulatedJoysticks>(controllers)),
      keyboard_(ownKeyboard_.get()),
      joysticks_(ownJoysticks_.get()),
      reader_(keyboard_, joysticks_) {}

FrameInput DeviceInput::read(const std::vector<InputCommand>& commands, uint32_t clock) {
    std::memcpy(previousSnapshot_, reader_.keyboardSnapshot(), sizeof previousSnapshot_);
    previousInput_ = lastInput_;
    for (const InputCommand& c : commands) {
        held_.apply(c);
        applyInputCommand(c, keyboard_, joysticks_);
    }
    lastInput_ = reader_.read(clock);
    return lastInput_;
}
