#pragma once
#include <SDL_scancode.h>

// The game names keys by DirectInput key codes (the 256-byte keyboard snapshot is indexed
// by them); SDL reports physical keys as USB-style scancodes. Both name physical positions,
// so the mapping is independent of the keyboard layout: player 2's "E X D G" stay where
// they are on an AZERTY keyboard.

// DirectInput code of an SDL scancode; 0 for a key the snapshot has no byte for.
int dikFromScancode(SDL_Scancode scancode);
// SDL scancode of a DirectInput code; SDL_SCANCODE_UNKNOWN for a code no key produces.
SDL_Scancode scancodeFromDik(int dik);
