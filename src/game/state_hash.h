#pragma once
#include <cstdint>

class Engine;

// A fingerprint of everything that decides how the game goes on: the game variables, where
// every actor is and the random generator's state. Two runs fed the same input have the same
// fingerprint after every frame; the first frame they differ is where they went apart.
uint64_t gameStateHash(const Engine& engine);
