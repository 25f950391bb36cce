#pragma once
#include <cstdint>

// A fingerprint of every file in the data directory (names and contents).
uint64_t dataFilesHash();
