#include "platform/web/web_gamepads.h"

#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>

#include "platform/sdl/pad_reading.h"

namespace {

// The standard mapping's buttons by SDL's controller numbering: A B X Y, Back, Guide, Start,
// the stick presses, the shoulders, the d-pad; the triggers follow SDL's own buttons.
struct ButtonPair {
    int browser;
    int game;
};
constexpr ButtonPair standardButtons[] = {
    {0, 0}, {1, 1},  {2, 2},   {3, 3},   {8, 4},   {16, 5},  {9, 6},  {10, 7}, {11, 8},
    {4, 9}, {5, 10}, {12, 11}, {13, 12}, {14, 13}, {15, 14}, {6, 21}, {7, 22},
};
constexpr int firstTrigger = 21;
constexpr int dpadUp = 12, dpadDown = 13, dpadLeft = 14, dpadRight = 15;

int32_t axisValue(double value) {
    return static_cast<int32_t>(std::clamp(value, -1.0, 1.0) * 1024.0);
}

bool sample(int browserIndex, EmscriptenGamepadEvent& pad) {
    return emscripten_get_gamepad_status(browserIndex, &pad) == EMSCRIPTEN_RESULT_SUCCESS &&
           pad.connected;
}

}  // namespace

WebGamepads::WebGamepads() {
    // Some browsers list pads only to pages that listen for them.
    emscripten_set_gamepadconnected_callback(
        nullptr, EM_FALSE, [](int, const EmscriptenGamepadEvent*, void*) { return EM_FALSE; });
}

int WebGamepads::enumerate() {
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return knownCount_;
    // The slot count is not the number of pads: only a connected slot holds one.
    int slots = emscripten_get_num_gamepads();
    for (int i = 0; i < slots && knownCount_ < maxDevices; ++i) {
        EmscriptenGamepadEvent pad;
        if (!sample(i, pad)) continue;
        if (std::find(browserIndex_, browserIndex_ + knownCount_, i) != browserIndex_ + knownCount_)
            continue;
        browserIndex_[knownCount_++] = i;
    }
    return knownCount_;
}

bool WebGamepads::setUp(int slot, int index) {
    if (slot < 0 || slot >= maxDevices || index < 0 || index >= knownCount_) return false;
    slotPad_[slot] = index;
    return true;
}

bool WebGamepads::read(int slot, JoystickState& state) {
    if (slot < 0 || slot >= maxDevices || slotPad_[slot] < 0) return false;
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return false;
    EmscriptenGamepadEvent pad;
    if (!sample(browserIndex_[slotPad_[slot]], pad)) return false;
    state = JoystickState{};
    if (pad.numAxes >= 2) {
        state.x = axisValue(pad.axis[0]);
        state.y = axisValue(pad.axis[1]);
    }
    auto down = [&](int b) { return b < pad.numButtons && pad.digitalButton[b] != 0; };
    if (std::strcmp(pad.mapping, "standard") == 0) {
        for (const ButtonPair& pair : standardButtons) {
            // Triggers count from half their travel, as with SDL.
            bool trigger = pair.game >= firstTrigger;
            if (trigger ? pad.analogButton[pair.browser] > 0.5 : down(pair.browser))
                state.buttons[pair.game] = 0x80;
        }
        applyDirectionPad(down(dpadUp), down(dpadDown), down(dpadLeft), down(dpadRight), state);
    } else {
        for (int b = 0; b < pad.numButtons && b < 32; ++b)
            if (down(b)) state.buttons[b] = 0x80;
    }
    return true;
}

bool WebGamepads::acquire(int slot) {
    JoystickState ignored;
    return read(slot, ignored);
}
