#pragma once
#include <string>

#include "platform/input.h"

// Controller buttons as the game reads them (SDL's numbering by label).
namespace padButtons {
constexpr int a = 0;  // fire
constexpr int b = 1;  // chainsaw
constexpr int x = 2;  // smart bomb
constexpr int y = 3;
constexpr int back = 4;
constexpr int start = 6;
}  // namespace padButtons

// The name printed on button `button` of a controller of this layout ("A", "CROSS", "+"),
// in capitals, as the game's texts show it.
std::string padButtonName(PadLayout layout, int button);
