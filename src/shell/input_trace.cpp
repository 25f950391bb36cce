#include "shell/input_trace.h"

#include <string>

#include "engine/engine.h"
#include "shell/trace.h"

namespace {
constexpr int tracedSlots = 3;
bool keySeen[256] = {};
uint32_t directionsSeen[tracedSlots] = {};
uint32_t buttonsSeen[tracedSlots] = {};
}  // namespace

void traceInputChanges(const Engine& engine) {
    for (int code = 0; code < 256; ++code) {
        bool down = engine.isKeyDown(code);
        if (down == keySeen[code]) continue;
        keySeen[code] = down;
        traceEvent("key",
                   "\"code\":" + std::to_string(code) + ",\"down\":" + (down ? "true" : "false"));
    }
    for (int slot = 0; slot < tracedSlots; ++slot) {
        uint32_t directions = engine.directions(slot);
        uint32_t buttons = 0;
        for (int b = 0; b < 32; ++b)
            if (engine.isButtonDown(slot, b)) buttons |= 1u << b;
        if (directions == directionsSeen[slot] && buttons == buttonsSeen[slot]) continue;
        directionsSeen[slot] = directions;
        buttonsSeen[slot] = buttons;
        traceEvent("controls", "\"slot\":" + std::to_string(slot) +
                                   ",\"directions\":" + std::to_string(directions) +
                                   ",\"buttons\":" + std::to_string(buttons));
    }
}

void resetInputTrace() {
    for (bool& k : keySeen) k = false;
    for (int s = 0; s < tracedSlots; ++s) directionsSeen[s] = buttonsSeen[s] = 0;
}
