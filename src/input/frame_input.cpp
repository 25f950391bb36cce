#include "input/frame_input.h"

#include <cstring>

namespace {
// Escape, Space, Return, Backspace, left and right Shift, Pause, then A to Z in order (P
// among them).
constexpr int gameKeys[] = {1,  57, 28, 14, 42, 54, 197, 30, 48, 46, 32, 18, 33, 34, 35, 23, 36,
                            37, 38, 50, 49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
}  // namespace

uint64_t gameKeyBit(int code) {
    for (size_t i = 0; i < sizeof gameKeys / sizeof gameKeys[0]; ++i)
        if (gameKeys[i] == code) return uint64_t{1} << i;
    return 0;
}

uint64_t gameKeysHeld(const uint8_t snapshot[256]) {
    uint64_t held = 0;
    for (size_t i = 0; i < sizeof gameKeys / sizeof gameKeys[0]; ++i)
        if (snapshot[gameKeys[i]] & 0x80) held |= uint64_t{1} << i;
    return held;
}

uint64_t allGameKeys() {
    constexpr size_t count = sizeof gameKeys / sizeof gameKeys[0];
    return (uint64_t{1} << count) - 1;
}

bool FrameInput::operator==(const FrameInput& other) const {
    return std::memcmp(this, &other, sizeof *this) == 0;
}

bool FrameInput::sameActions(const FrameInput& other) const {
    for (int p = 0; p < inputPlayers; ++p)
        if (!(players[p] == other.players[p])) return false;
    return padsAnswering == other.padsAnswering;
}
