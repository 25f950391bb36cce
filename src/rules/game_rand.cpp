#include "rules/game_rand.h"

#include "rules/game_state.h"

void gameSrand(uint32_t seed) { game.randState = seed; }

uint32_t gameRandState() { return game.randState; }

int gameRand() {
    game.randState = game.randState * 214013u + 2531011u;
    return static_cast<int>((game.randState >> 16) & 0x7FFF);
}

int gameRandBelow(int n) {
    if (n <= 0) return 0;
    int r = gameRand() % n;
    return r < 0 ? r + n : r;
}
