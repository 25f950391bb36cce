#pragma once
#include <cstdint>

// What the players did in one frame, as the game reads it: each player's directions and
// buttons (already through the key bindings of the machine he plays on) and the few keys the
// screens read themselves at the keyboard he plays at, the clock a new game takes its seed
// from and how many game controllers answered. Recordings and the network carry this value,
// so a game plays the same whatever the bindings of the machine that plays it back.
struct PlayerInput {
    uint64_t keys = 0;       // the game keys held at this player's keyboard (gameKeyBit)
    uint32_t buttons = 0;    // bit b: button b held (0 fire, 1 chainsaw, 2 bomb, ...)
    uint8_t directions = 0;  // 0x1 up, 0x2 down, 0x4 left, 0x8 right
    uint8_t unused[3] = {};

    bool operator==(const PlayerInput& other) const = default;
};

constexpr int inputPlayers = 3;

struct FrameInput {
    PlayerInput players[inputPlayers];
    uint32_t clock = 0;         // the clock at the frame's start: a new game's seed
    uint8_t padsAnswering = 0;  // game controllers that answered before this frame
    uint8_t unused[3] = {};

    bool operator==(const FrameInput& other) const;
    // The same but for the clock, which a recording does not keep.
    bool sameActions(const FrameInput& other) const;
};
static_assert(sizeof(FrameInput) == 56, "a frame's input has no padding");

// The keys the screens read directly (DirectInput codes): Escape ends a level, Space skips the
// title, P and Pause pause, and name entry types letters with Shift, Backspace and Return.
// Each has one bit of FrameInput::keys; 0 for any other key.
uint64_t gameKeyBit(int code);
// The game keys held in a keyboard snapshot (256 bytes, 0x80 = down).
uint64_t gameKeysHeld(const uint8_t snapshot[256]);
// Every bit a game key can have.
uint64_t allGameKeys();
