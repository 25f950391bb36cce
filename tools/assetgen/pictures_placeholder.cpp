// Placeholder pictures: every cell a coloured frame so that positions can be checked.
#include <cstdint>
#include <string>
#include <vector>

#include "assetgen.h"

namespace {
struct PictureFile {
    const char* name;
    int width, height, cellWidth, cellHeight;
};
const PictureFile pictureFiles[] = {
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
}  // namespace

bool generatePictures(const std::string& outDir) {
    for (const auto& f : pictureFiles) {
        std::vector<uint8_t> rgb(static_cast<size_t>(f.width) * f.height * 3, 0);
        int columns = f.width / f.cellWidth;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                int cx = x % f.cellWidth, cy = y % f.cellHeight;
                int cell = (y / f.cellHeight) * columns + x / f.cellWidth;
                bool border = cx < 2 || cy < 2 || cx >= f.cellWidth - 2 || cy >= f.cellHeight - 2;
                bool full = f.cellWidth == 640;
                if (!border && !full) continue;
                uint8_t* p = &rgb[(static_cast<size_t>(y) * f.width + x) * 3];
                p[0] = static_cast<uint8_t>(64 + (cell * 37) % 192);
                p[1] = static_cast<uint8_t>(64 + (cell * 71) % 192);
                p[2] = static_cast<uint8_t>(64 + (cell * 113) % 192);
                if (full) p[0] = p[1] = p[2] = static_cast<uint8_t>(40 + y / 4);
            }
        if (!writeBytes(outDir + "/g/" + f.name, rgb.data(), rgb.size())) return false;
    }
    return true;
}

bool previewPictures(const std::string&, const std::string&) { return true; }
