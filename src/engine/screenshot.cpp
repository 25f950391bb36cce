#include "engine/screenshot.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "engine/engine.h"
#include "base/file_util.h"

namespace {

void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
    put16(p, v);
    put16(p + 2, v >> 16);
}

}  // namespace

int saveScreenshot(Surface* surface, const char* fileName) {
    if (surface == nullptr) return 1;
    const int width = surface->width();
    const int height = surface->height();
    const uint16_t* pixels = surface->lock();
    const int bitCount = surface->bitCount();
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const size_t size = (static_cast<size_t>(width) * height + 18) * 3;
    uint8_t* buffer = new (std::nothrow) uint8_t[size];
    if (buffer == nullptr) {
        surface->unlock();
        return 2;
    }
    std::memset(buffer, 0, 54);
    buffer[0] = 'B';
    buffer[1] = 'M';
    put32(buffer + 2, static_cast<uint32_t>(size));
    put32(buffer + 10, 54);
    put32(buffer + 14, 40);
    put32(buffer + 18, static_cast<uint32_t>(width));
    put32(buffer + 22, static_cast<uint32_t>(height));
    put16(buffer + 26, 1);
    put16(buffer + 28, 24);
    // Deliberately 26, not 0: the files this game has always written say so, and readers
    // ignore the field for 24-bit pictures anyway.
    put32(buffer + 46, 26);
    convertPixels(pixels, buffer + 54, bitCount, 32, width, height);
    surface->unlock();

    // BMP rows run from the bottom of the picture up.
    uint8_t* rows = buffer + 54;
    for (int r = 0; r < height / 2; ++r) {
        uint8_t* a = rows + static_cast<size_t>(r) * rowBytes;
        uint8_t* b = rows + static_cast<size_t>(height - 1 - r) * rowBytes;
        for (size_t i = 0; i < rowBytes; ++i) {
            uint8_t t = a[i];
            a[i] = b[i];
            b[i] = t;
        }
    }
    int result = writeFile(buffer, fileName, static_cast<long>(size));
    delete[] buffer;
    return result;
}

int Engine::saveScreenshot(const char* fileName) { return ::saveScreenshot(frontSurface(), fileName); }
