// The raw picture and sheet loader: any file, of any length, loaded as a sheet of any small
// size and cell grid and as the screen picture, stays inside its surfaces.
#include <cstdint>
#include <string>

#include "engine/engine.h"
#include "fuzz_support.h"
#include "platform/headless/headless_display.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    // The first bytes choose the sheet; the rest is the file.
    const int width = 1 + data[0] % 64;
    const int height = 1 + data[1] % 64;
    const int bits = (data[2] & 1) ? 16 : 24;
    const int cellWidth = 1 + data[3] % width;
    const int cellHeight = 1 + (data[3] >> 4) % height;
    const std::string path = fuzz::tempDir() + "/sheet.raw";
    fuzz::writeBytes(path, data + 4, size - 4);

    HeadlessDisplay display(48, 32);
    Engine engine(&display, 48, 32, 16);
    engine.addSheet(path.c_str(), width, height, bits, cellWidth, cellHeight, true);
    engine.loadRawInto(engine.pictureSurface(Picture::title), path.c_str(), bits, 0, 0, 48, 32);
    return 0;
}
