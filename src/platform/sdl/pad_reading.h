#pragma once
#include <cstdint>

#include "platform/input.h"

// SDL reports stick positions in -32768..32767; the game expects -1024..1024 with its
// thresholds at half deflection.
int32_t scaleAxis(int raw);

// A pressed d-pad or hat direction counts as the stick pushed fully that way; opposite
// directions together leave the stick reading alone.
void applyDirectionPad(bool up, bool down, bool left, bool right, JoystickState& state);
