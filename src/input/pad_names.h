#pragma once
#include <string>
#include <string_view>

#include "platform/input.h"

// Controller buttons as the game reads them (SDL's numbering by label; the triggers follow
// SDL's own buttons).
namespace padButtons {
constexpr int a = 0;  // fire
constexpr int b = 1;  // chainsaw
constexpr int x = 2;  // smart bomb
constexpr int y = 3;
constexpr int back = 4;
constexpr int guide = 5;
constexpr int start = 6;
constexpr int dpadUp = 11;
constexpr int dpadRight = 14;
constexpr int leftTrigger = 21;
constexpr int rightTrigger = 22;
constexpr int count = 32;
}  // namespace padButtons

// The name printed on button `button` of a controller of this layout ("A", "CROSS", "+"),
// in capitals, as the game's texts show it.
std::string padButtonName(PadLayout layout, int button);

// The button's name in the settings file, the same whatever the controller ("A", "Left
// Shoulder", "Button 24"), and back (in any case); -1 for no button.
std::string padButtonFileName(int button);
int padButtonFromFileName(std::string_view name);
