#pragma once
// The game's icon, for the desktop's icon theme and the window's own icon.
#include <cstdint>
#include <string>
#include <vector>

// The sizes written for the hicolor icon theme.
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};
// The picture the game gives its window, read from g/Icon_64x64.rgba.
constexpr int kWindowIconSize = 64;

// size x size pixels, 8-bit RGBA with straight (not premultiplied) alpha; boldShapes: the
// few-shapes figure meant for 16 and 32 pixels instead of the game's own figure.
std::vector<uint8_t> makeIconRgba(int size, bool boldShapes);
// One PNG per size into dir, named "<n>x<n>.png".
bool writeIcons(const std::string& dir);
// The window's icon as raw RGBA into outDir/g.
bool writeWindowIcon(const std::string& outDir);
