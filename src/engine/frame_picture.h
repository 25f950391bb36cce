#pragma once
#include <cstdint>

// One sprite of a frame's picture: a cell of a sheet with its top left corner where.
struct DrawItem {
    // Far off the screen too: a ball can fall for a long time before anything stops it.
    int32_t x;
    int32_t y;
    int16_t cell;
    uint8_t sheet;
    uint8_t mirror;  // bit 0 left-right, bit 1 up-down
};

// What a frame shows, as the world's step left it at the moment the picture is drawn (after
// the game's logic, before the actors move): its sprites in drawing order over the backdrop.
// A paused frame shows the last picture again, with "PAUSED" over it.
struct FramePicture {
    static constexpr int maxItems = 500;
    bool held = false;
    int count = 0;
    DrawItem items[maxItems];
};
