#include "support/test_sheets.h"

#include "world/world.h"

uint16_t rgb565(Rgb c) {
    return static_cast<uint16_t>((c.r & 0xF8) << 8 | (c.g & 0xFC) << 3 | (c.b >> 3));
}

void writeRaw24(const std::string& path, int width, int height,
                const std::function<Rgb(int x, int y)>& pixel) {
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            Rgb c = pixel(x, y);
            bytes.push_back(c.r);
            bytes.push_back(c.g);
            bytes.push_back(c.b);
        }
    writeFileBytes(path, bytes);
}

TestEngine::TestEngine() {
    theEngine = &engine;
    clearWorld();
}

TestEngine::~TestEngine() {
    if (theEngine == &engine) theEngine = nullptr;
}

int TestEngine::addSheet(const std::string& dir, const std::string& name, int width, int height,
                         int cellWidth, int cellHeight,
                         const std::function<Rgb(int x, int y)>& pixel) {
    std::string path = dir + "/" + name;
    writeRaw24(path, width, height, pixel);
    return engine.addSheet(path.c_str(), width, height, 24, cellWidth, cellHeight, true);
}
