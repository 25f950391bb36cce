#pragma once
class Display;

// The window's own picture in the data directory, written by the asset generator.
constexpr const char* windowIconName = "g\\Icon_64x64.rgba";
constexpr int windowIconSize = 64;

// Hands the game's icon to the display. The game runs without it: a missing or short file
// costs only the icon, with one line on stderr naming the file. True when the icon was set.
bool showWindowIcon(Display& display);
