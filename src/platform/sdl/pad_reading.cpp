#include "platform/sdl/pad_reading.h"

#include <algorithm>

int32_t scaleAxis(int raw) {
    return std::clamp<int32_t>(static_cast<int32_t>(raw) * 1024 / 32767, -1024, 1024);
}

void applyDirectionPad(bool up, bool down, bool left, bool right, JoystickState& state) {
    if (left != right) state.x = left ? -1024 : 1024;
    if (up != down) state.y = up ? -1024 : 1024;
}
