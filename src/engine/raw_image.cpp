#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "catalog/picture_files.h"
#include "base/file_util.h"
#include "base/log.h"
#include "base/paths.h"
#include "base/quote_text.h"

int Engine::addSheet(const char* fileName, int width, int height, int fileBitsPerPixel,
                     int cellWidth, int cellHeight, bool drawable) {
    if (sheetCount_ >= maxSheets) return -1;
    const int i = sheetCount_;
    sheetWidth_[i] = width;
    sheetHeight_[i] = height;
    cellWidth_[i] = cellWidth;
    cellHeight_[i] = cellHeight;
    sheetDrawable_[i] = drawable ? 1 : 0;
    logLine("add1\n");
    logLine("add2\n");
    logLine("add3\n");
    sheetSurface_[i] = std::make_unique<Surface>(width, height);
    logLine("ok\n");
    logLine("add4\n");
    logLine("add\x05");
    loadRawInto(sheetSurface_[i].get(), fileName, fileBitsPerPixel, 0, 0, width, height);
    sheetSurface_[i]->buildOpaqueRuns(cellWidth, cellHeight);
    logLine("add\x06");
    sheetCount_ = i + 1;
    return i;
}

void Engine::loadPictures() {
    loadRawInto(pictures_[static_cast<int>(Picture::title)].get(), titleFile.file, 24, 0, 0,
                width_, height_);
    loadRawInto(pictures_[static_cast<int>(Picture::wall)].get(), wallFile.file, 24, 0, 0,
                width_, height_);
}

Surface* Engine::pictureSurface(Picture picture) {
    return pictures_[static_cast<int>(picture)].get();
}

int Engine::loadRawInto(Surface* surface, const char* fileName, int fileBitsPerPixel, int, int,
                        int width, int height) {
    if (surface == nullptr || width <= 0 || height <= 0) return 0;
    const int dstBits = surface->bitCount();
    // Never write past the surface, whatever size the caller claims for the file.
    const long surfacePixels = static_cast<long>(surface->width()) * surface->height();
    if (static_cast<long>(width) * height > surfacePixels)
        height = static_cast<int>(surfacePixels / width);
    uint16_t* pixels = surface->lock();
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    // A missing, empty or short file leaves black where it has no pixels.
    int missing;
    std::string why;
    if (fileBitsPerPixel == bitsPerPixel_) {
        std::memset(pixels, 0, pixelCount * sizeof(uint16_t));
        missing = readWholeFile(fileName, pixels, pixelCount * sizeof(uint16_t), why);
    } else {
        std::vector<uint8_t> buffer(static_cast<size_t>(fileBitsPerPixel) * pixelCount / 8, 0);
        missing = readWholeFile(fileName, buffer.data(), buffer.size(), why);
        convertPixels(buffer.data(), pixels, fileBitsPerPixel, dstBits, width, height);
    }
    surface->unlock();
    // The game goes on with a black picture, but whoever installed it should hear why.
    if (missing != 0)
        std::fprintf(stderr,
                     "parapet: picture file %s %s and shows black; use --data DIR or "
                     "PARAPET_DATA to point at the game's data\n",
                     quotePath(resolveDataPath(fileName)).c_str(), why.c_str());
    return 0;
}

void convertPixels(const void* source, void* destination, int sourceBits, int destinationBits,
                   int width, int height) {
    if (width <= 0 || height <= 0) return;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (sourceBits == 24 && (destinationBits == 15 || destinationBits == 16)) {
        const uint8_t* s = static_cast<const uint8_t*>(source);
        uint16_t* d = static_cast<uint16_t*>(destination);
        for (size_t i = 0; i < count; ++i, s += 3) {
            if (destinationBits == 15)
                d[i] = static_cast<uint16_t>((s[0] >> 3) << 10 | (s[1] >> 3) << 5 | (s[2] >> 3));
            else
                d[i] = static_cast<uint16_t>((s[0] & 0xF8) << 8 | (s[1] & 0xFC) << 3 | (s[2] >> 3));
        }
    } else if ((sourceBits == 15 || sourceBits == 16) &&
               (destinationBits == 24 || destinationBits == 32)) {
        // Three bytes per pixel even when 32 is asked for: the screenshot writer relies on it.
        const uint16_t* s = static_cast<const uint16_t*>(source);
        uint8_t* d = static_cast<uint8_t*>(destination);
        for (size_t i = 0; i < count; ++i, d += 3) {
            const uint16_t p = s[i];
            d[0] = static_cast<uint8_t>((p & 0x1F) << 3);
            if (sourceBits == 15) {
                d[1] = static_cast<uint8_t>((p >> 2) & 0xF8);
                d[2] = static_cast<uint8_t>((p >> 7) & 0xF8);
            } else {
                d[1] = static_cast<uint8_t>((p >> 3) & 0xFC);
                d[2] = static_cast<uint8_t>((p >> 8) & 0xF8);
            }
        }
    }
}
