#pragma once
#include "platform/input.h"

// Game controllers through the browser's Gamepad API. Pads are listed in the order they
// were first seen; a pad pulled out keeps its place, and one plugged into the same browser
// slot later takes it over, so the list only ever grows. With the standard mapping the
// buttons are numbered as the SDL backend numbers them (A, B, X, Y are 0 to 3, Start 6).
class WebGamepads : public JoystickSource {
public:
    static constexpr int maxDevices = 8;

    WebGamepads();
    int enumerate() override;
    bool setUp(int slot, int index) override;
    bool read(int slot, JoystickState& state) override;
    bool acquire(int slot) override;

private:
    int browserIndex_[maxDevices] = {};  // of each listed pad
    int knownCount_ = 0;
    int slotPad_[maxDevices] = {-1, -1, -1, -1, -1, -1, -1, -1};
};
