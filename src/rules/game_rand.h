#pragma once
#include <cstdint>

// The game's own random generator with the classic 15-bit range, the same on every
// platform so that a recorded game replays exactly.
void gameSrand(uint32_t seed);
int gameRand();  // 0..32767
// A draw in 0..n-1 (the non-negative remainder of gameRand() modulo n).
int gameRandBelow(int n);
// The generator's state, for checking that two machines playing one game still agree.
uint32_t gameRandState();
