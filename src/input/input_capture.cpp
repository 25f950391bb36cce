#include "input/input_capture.h"

#include <algorithm>
#include <tuple>

InputCapture::InputCapture(KeyboardDevice& keyboard, JoystickSource* joysticks)
    : keyboard_(keyboard), joysticks_(joysticks) {
    openNewControllers();
}

void InputCapture::openNewControllers() {
    if (joysticks_ == nullptr) return;
    int attached = std::clamp(joysticks_->enumerate(), 0, maxControllers);
    for (int i = joystickCount_; i < attached; ++i) opened_[i] = joysticks_->setUp(i, i);
    joystickCount_ = std::max(joystickCount_, attached);
}

void InputCapture::commandsFor(int frame, std::vector<InputCommand>& out) {
    captureKeyboard(frame, out);
    if (joysticks_ == nullptr) return;
    openNewControllers();
    for (int i = 0; i < joystickCount_; ++i) captureController(i, frame, out);
}

void InputCapture::captureKeyboard(int frame, std::vector<InputCommand>& out) {
    uint8_t fresh[256];
    if (!keyboard_.read(fresh)) return;
    if (tapCode_ >= 0) fresh[tapCode_] |= 0x80;  // let go at the next capture, unless held
    tapCode_ = -1;
    for (int code = 0; code < 256; ++code) {
        bool down = (fresh[code] & 0x80) != 0;
        if (down == ((keys_[code] & 0x80) != 0)) continue;
        keys_[code] = down ? 0x80 : 0x00;
        out.push_back(keyCommand(frame, code, down));
    }
}

namespace {
// The game only asks which way a stick leans past half its travel, so a stick is captured as
// one of the three positions it can mean; a pad's jitter around a position then costs nothing
// in a recording or on the network, and the game sees exactly what it would have.
int stickPosition(int32_t value) { return value < -512 ? -1024 : value > 512 ? 1024 : 0; }
}  // namespace

void InputCapture::captureController(int index, int frame, std::vector<InputCommand>& out) {
    JoystickState fresh;  // released and centred unless read
    readable_[index] = false;
    if (opened_[index]) {
        readable_[index] = joysticks_->read(index, fresh) ||
                           (joysticks_->acquire(index) && joysticks_->read(index, fresh));
        if (!readable_[index]) fresh = JoystickState{};
    }
    JoystickState& last = pads_[index];
    InputCommand c;
    c.frame = frame;
    c.joystick = index;
    for (int b = 0; b < 32; ++b) {
        bool down = (fresh.buttons[b] & 0x80) != 0;
        if (down == ((last.buttons[b] & 0x80) != 0)) continue;
        last.buttons[b] = down ? 0x80 : 0x00;
        c.kind = InputCommand::Kind::joyButton;
        c.code = b;
        c.down = down;
        out.push_back(c);
    }
    int x = stickPosition(fresh.x), y = stickPosition(fresh.y);
    for (auto [axis, value, stored] : {std::tuple{'x', x, &last.x}, std::tuple{'y', y, &last.y}}) {
        if (value == *stored) continue;
        *stored = value;
        c.kind = InputCommand::Kind::joyAxis;
        c.axis = axis;
        c.value = value;
        out.push_back(c);
    }
}
