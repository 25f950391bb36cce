#pragma once
#include "catalog/picture_files.h"

class Display;

constexpr const char* windowIconName = windowIconFile.file;
constexpr int windowIconSize = windowIconFile.width;

// Hands the game's icon to the display. The game runs without it: a missing or short file
// costs only the icon, with one line on stderr naming the file. True when the icon was set.
bool showWindowIcon(Display& display);
