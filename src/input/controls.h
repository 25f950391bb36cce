#pragma once
#include <cstdint>

#include "input/frame_input.h"

// The controls as the world in play last read them: this frame's input and the one before,
// so a screen can tell a fresh press from a held one.
struct Controls {
    FrameInput now;
    FrameInput before;

    void apply(const FrameInput& input) {
        before = now;
        now = input;
    }
    // Held at any player's keyboard. Only the game keys (gameKeyBit) are known; any other
    // key reads as up.
    bool isKeyDown(int code) const {
        uint64_t bit = gameKeyBit(code & 0xFF);
        for (const PlayerInput& p : now.players)
            if (p.keys & bit) return true;
        return false;
    }
    // Held at the keyboard `slot`'s player plays at (a network game has one per machine).
    bool isKeyDownFor(int slot, int code) const {
        return valid(slot) && (now.players[slot].keys & gameKeyBit(code & 0xFF)) != 0;
    }
    uint32_t directions(int slot) const { return valid(slot) ? now.players[slot].directions : 0; }
    uint32_t previousDirections(int slot) const {
        return valid(slot) ? before.players[slot].directions : 0;
    }
    bool isButtonDown(int slot, int button) const {
        return valid(slot) && button >= 0 && button < 32 &&
               ((now.players[slot].buttons >> button) & 1u) != 0;
    }
    bool wasButtonDown(int slot, int button) const {
        return valid(slot) && button >= 0 && button < 32 &&
               ((before.players[slot].buttons >> button) & 1u) != 0;
    }

private:
    static bool valid(int slot) { return slot >= 0 && slot < inputPlayers; }
};

// The controls of the world in play.
extern Controls& theControls;
