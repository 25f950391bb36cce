#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "world/world.h"

// A hash of everything a world holds, the same for the same game on any machine: what two
// machines of a network game compare, and what a check of rolling back compares.
uint64_t worldHash(const World& world);
bool sameWorld(const World& a, const World& b);
// Copies `from` into `to` (a snapshot, or a snapshot back into play), touching only the bytes
// either world uses.
void copyWorld(World& to, const World& from);
// Which part two worlds first differ in ("game variable spawnInterval", "actor in slot 12,
// byte 80"), or "" when they are the same.
std::string worldDifference(const World& a, const World& b);
// A world as bytes for another machine running the same build and data (a spectator joining
// a game), and back. False for bytes that cannot be such a world; a hash sent along says
// whether they are the world meant.
std::vector<uint8_t> worldBytes(const World& world);
bool worldFromBytes(World& world, const std::vector<uint8_t>& bytes);
