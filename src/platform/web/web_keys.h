#pragma once
#include <span>

// The browser names physical keys by KeyboardEvent.code ("KeyA", "ShiftRight"); the game by
// DirectInput codes. Like SDL's scancodes, both name positions, not letters, so player 2's
// keys stay where they are on any layout. The settings file names keys as SDL does, so one
// file binds the same keys in the browser and in the installed game.
struct WebKey {
    int dik;
    const char* domCode;
    const char* name;  // SDL's name; empty for keys SDL has none for
};

std::span<const WebKey> webKeys();

// DirectInput code of a KeyboardEvent.code; 0 for a key the game has no code for.
int dikFromDomCode(const char* code);
// DirectInput code of a key by its settings-file name, in any case; 0 for no such key.
int webKeyCodeFromName(const char* name);
