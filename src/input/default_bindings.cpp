#include "input/default_bindings.h"

#include "engine/engine.h"

namespace {
// bindKeys keeps the pointers, so the button tables live as long as the program.
int boundButtons[keyboardPlayers][3] = {};
}  // namespace

PlayerKeys defaultPlayerKeys(int player) {
    if (player == 0) return PlayerKeys{200, 208, 203, 205, 54, 157, 28};
    return PlayerKeys{18, 45, 32, 34, 42, 29, 56};
}

void bindDefaultKeys(Engine& engine) {
    PlayerKeys keys[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
    bindPlayerKeys(engine, keys);
}

void bindPlayerKeys(Engine& engine, const PlayerKeys keys[keyboardPlayers]) {
    for (int player = 0; player < keyboardPlayers; ++player) {
        const PlayerKeys& k = keys[player];
        int* buttons = boundButtons[player];
        buttons[0] = k.fire;
        buttons[1] = k.chainsaw;
        buttons[2] = k.bomb;
        engine.bindKeys(player, k.up, k.down, k.left, k.right, 3, buttons);
    }
}
