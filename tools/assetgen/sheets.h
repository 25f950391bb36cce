#pragma once
// One function per sheet: paints cell `cell` onto a canvas of the sheet's cell size.
// Only cells the game shows are asked for; every other cell stays transparent.
#include <cstdint>
#include <vector>

#include "canvas.h"

void drawDefenderCell(int cell, Canvas& c);
void drawClimberCell(int cell, Canvas& c);
void drawWeaponCell(int cell, Canvas& c);
void drawMagazineCell(int cell, Canvas& c);
void drawBallCell(int cell, Canvas& c);

// The splats of the weapons sheet as dust (dustFile of the catalog), in the splats' order:
// three large, then three small.
std::vector<uint8_t> makeDustSheet();

// A whole sprite sheet (by its number in the game's table) as 24-bit RGB.
std::vector<uint8_t> makeSheet(int sheet);

// Text painted with the game font's look (used by the bonus labels and the title).
struct TextStyle {
    Rgb top, bottom, outline;
    float outlineWidth;
    float shadow;  // drop shadow offset in pixels, 0 for none
};
// Paints text with its top-left at (x, y) in a font of the given pixel size; returns the
// width painted. Falls back to nothing when no font can be loaded.
float paintText(Canvas& c, const char* text, float x, float y, float pixelSize,
                const TextStyle& style, bool serif = false);
float measureText(const char* text, float pixelSize, bool serif = false);

// False (with a line on stderr) when the DejaVu fonts cannot be rasterised.
bool fontsAvailable();
// Font sheets as 24-bit RGB.
std::vector<uint8_t> makeGameFont();      // 512 x 357
std::vector<uint8_t> makeScrollerFont();  // 640 x 32

// Full-screen pictures. The title paints the sheets' figures again at a larger size.
std::vector<uint8_t> makeWall();
std::vector<uint8_t> makeTitle();
// The wall scene behind both pictures; wallTop is where the defenders' feet stand.
void paintBackdrop(Canvas& c, int wallTop, int groundTop, bool withTower);
