#include "input/input_state.h"

#include "platform/headless/headless_platform.h"

void InputState::apply(const InputCommand& c) {
    if (c.kind == InputCommand::Kind::key) {
        keys[c.code & 0xFF] = c.down ? 0x80 : 0x00;
        return;
    }
    if (c.joystick < 0 || c.joystick >= maxControllers) return;
    JoystickState& pad = pads[c.joystick];
    if (c.kind == InputCommand::Kind::joyButton && c.code >= 0 && c.code < 32)
        pad.buttons[c.code] = c.down ? 0x80 : 0x00;
    else if (c.kind == InputCommand::Kind::joyAxis)
        (c.axis == 'x' ? pad.x : pad.y) = c.value;
}

void InputState::heldCommands(int frame, std::vector<InputCommand>& out) const {
    InputCommand c;
    c.frame = frame;
    c.down = true;
    c.kind = InputCommand::Kind::key;
    for (int code = 0; code < 256; ++code)
        if (keys[code] != 0) {
            c.code = code;
            out.push_back(c);
        }
    for (int j = 0; j < maxControllers; ++j) {
        c.joystick = j;
        c.kind = InputCommand::Kind::joyButton;
        for (int b = 0; b < 32; ++b)
            if (pads[j].buttons[b] != 0) {
                c.code = b;
                out.push_back(c);
            }
        c.kind = InputCommand::Kind::joyAxis;
        for (auto [axis, value] : {std::pair{'x', pads[j].x}, std::pair{'y', pads[j].y}})
            if (value != 0) {
                c.axis = axis;
                c.value = value;
                out.push_back(c);
            }
    }
}

void InputState::releaseCommands(int frame, std::vector<InputCommand>& out) const {
    size_t first = out.size();
    heldCommands(frame, out);
    for (size_t i = first; i < out.size(); ++i) {
        out[i].down = false;
        out[i].value = 0;
    }
}

bool InputState::anyHeld() const {
    std::vector<InputCommand> held;
    heldCommands(0, held);
    return !held.empty();
}

void InputState::applyTo(ScriptedKeyboard* keyboard, SimulatedJoysticks* joysticks) const {
    if (keyboard != nullptr)
        for (int code = 0; code < 256; ++code) keyboard->setKey(code, keys[code] != 0);
    if (joysticks != nullptr)
        for (int j = 0; j < maxControllers; ++j) {
            for (int b = 0; b < 32; ++b) joysticks->setButton(j, b, pads[j].buttons[b] != 0);
            joysticks->setAxis(j, 'x', pads[j].x);
            joysticks->setAxis(j, 'y', pads[j].y);
        }
}
