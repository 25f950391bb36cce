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

// The keys of players 1 and 2 (player 3 plays with the third joystick only): the arrows with
// right Shift, right Ctrl and Return; E X D G with left Shift, left Ctrl and left Alt.
PlayerKeys defaultPlayerKeys(int player);
