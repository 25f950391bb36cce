#pragma once

// The keys of one keyboard player, as DirectInput codes.
struct PlayerKeys {
    int up = 0;
    int down = 0;
    int left = 0;
    int right = 0;
    int fire = 0;
    int chainsaw = 0;
    int bomb = 0;
};

constexpr int keyboardPlayers = 2;

// The controller buttons of one player's fire, chainsaw and smart bomb, numbered as SDL reads a
// game controller (input/pad_names.h): A, B and X unless the player chose others.
struct PadButtons {
    int fire = 0;
    int chainsaw = 1;
    int bomb = 2;

    bool operator==(const PadButtons&) const = default;
};
constexpr int padActionCount = 3;
inline int& padAction(PadButtons& pad, int action) {
    return action == 0 ? pad.fire : action == 1 ? pad.chainsaw : pad.bomb;
}
inline int padAction(const PadButtons& pad, int action) {
    return padAction(const_cast<PadButtons&>(pad), action);
}

// The keys of players 1 and 2 (player 3 plays with the third joystick only): the arrows with
// right Shift, right Ctrl and Return; E X D G with left Shift, left Ctrl and left Alt.
PlayerKeys defaultPlayerKeys(int player);
