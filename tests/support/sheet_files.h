#pragma once

// The picture files the game reads, with the sizes it expects: title and wall, then the
// seven sheets in the order the animation table numbers them.
struct PictureFile {
    const char* name;
    int width, height, cellWidth, cellHeight;
};
inline constexpr PictureFile kPictureFiles[9] = {
    {"Title.raw", 640, 480, 640, 480},
    {"Wall640.raw", 640, 480, 640, 480},
    {"Defender_1536x996-102x67.raw", 1536, 996, 102, 67},
    {"Magazine_640x66-64x66.raw", 640, 66, 64, 66},
    {"Ball_384x16-16x16.raw", 384, 16, 16, 16},
    {"Climber_1536x996-102x134.raw", 1536, 996, 102, 134},
    {"Weapons&Bodyparts_640x256-64x64.raw", 640, 256, 64, 64},
    {"Gamefont.raw", 512, 357, 48, 51},
    {"Scrollerfont_640_32_12x16.raw", 640, 32, 12, 16},
};
// Indexed by sheet number.
inline constexpr const PictureFile* kSheetFiles = kPictureFiles + 2;
