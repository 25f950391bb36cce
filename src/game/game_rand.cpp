#include "game/game_rand.h"

namespace {
uint32_t randState = 1;
}

void gameSrand(uint32_t seed) { randState = seed; }

uint32_t gameRandState() { return randState; }

int gameRand() {
    randState = randState * 214013u + 2531011u;
    return static_cast<int>((randState >> 16) & 0x7FFF);
}

int gameRandBelow(int n) {
    if (n <= 0) return 0;
    int r = gameRand() % n;
    return r < 0 ? r + n : r;
}
