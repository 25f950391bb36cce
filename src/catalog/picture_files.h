#pragma once
#include <string>

// Every picture file of the game with the size it is cut to: the game reads these files and
// the asset generator writes them, both from this one list. Names are the game's own, below
// the data directory with a backslash ("g\\Title.raw").
struct PictureFile {
    const char* file;
    int width, height;
    int cellWidth, cellHeight;  // a whole picture is one cell
};

// The five sprite sheets, in the order the game adds them (animation rows name sheets by
// these numbers); the two fonts follow them as sheets 5 and 6.
enum SpriteSheet : int { defenderSheet, magazineSheet, ballSheet, climberSheet, weaponSheet };
constexpr int spriteSheetCount = 5;

// clang-format off
inline constexpr PictureFile spriteSheetFiles[spriteSheetCount] = {
    {"g\\Defender_1536x996-102x67.raw", 1536, 996, 102, 67},
    {"g\\Magazine_640x66-64x66.raw", 640, 66, 64, 66},
    {"g\\Ball_384x16-16x16.raw", 384, 16, 16, 16},
    {"g\\Climber_1536x996-102x134.raw", 1536, 996, 102, 134},
    {"g\\Weapons&Bodyparts_640x256-64x64.raw", 640, 256, 64, 64},
};
inline constexpr PictureFile gameFontFile = {"g\\Gamefont.raw", 512, 357, 48, 51};
inline constexpr PictureFile scrollerFontFile = {"g\\Scrollerfont_640_32_12x16.raw", 640, 32, 12, 16};
inline constexpr PictureFile titleFile = {"g\\Title.raw", 640, 480, 640, 480};
inline constexpr PictureFile wallFile = {"g\\Wall640.raw", 640, 480, 640, 480};
// 64 x 64 RGBA, the window's own picture.
inline constexpr PictureFile windowIconFile = {"g\\Icon_64x64.rgba", 64, 64, 64, 64};
// clang-format on

// Cells of the weapon sheet the game stamps on the wall outside any row: three large and
// three small splats.
constexpr int largeSplatCells[3] = {21, 22, 23};
constexpr int smallSplatCells[3] = {24, 25, 26};

// A file's path below the data directory with '/' ("g/Title.raw"), for writing it.
inline std::string slashPath(const char* file) {
    std::string path = file;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}
