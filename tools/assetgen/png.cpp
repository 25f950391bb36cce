#include "png.h"

#include <algorithm>
#include <cstring>

#include "assetgen.h"

namespace {
uint32_t crcTable[256];
bool crcReady = false;

uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0xFFFFFFFFu) {
    if (!crcReady) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            crcTable[i] = c;
        }
        crcReady = true;
    }
    for (size_t i = 0; i < n; ++i) crc = crcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void put32(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x >> 24));
    v.push_back(uint8_t(x >> 16));
    v.push_back(uint8_t(x >> 8));
    v.push_back(uint8_t(x));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}
}  // namespace

namespace {
// channels: 3 for RGB, 4 for RGBA.
std::vector<uint8_t> encode(const uint8_t* pixels, int width, int height, int channels) {
    const size_t rowBytes = size_t(width) * channels;
    std::vector<uint8_t> raw;
    raw.reserve(size_t(height) * (rowBytes + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), pixels + y * rowBytes, pixels + (y + 1) * rowBytes);
    }
    // zlib stream of stored blocks, each at most 65535 bytes.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    put32(ihdr, uint32_t(width));
    put32(ihdr, uint32_t(height));
    uint8_t colourType = channels == 4 ? 6 : 2;  // 8-bit RGBA or RGB
    ihdr.insert(ihdr.end(), {8, colourType, 0, 0, 0});
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    return out;
}
}  // namespace

std::vector<uint8_t> encodePng(const uint8_t* rgb, int width, int height) {
    return encode(rgb, width, height, 3);
}

std::vector<uint8_t> encodePngRgba(const uint8_t* rgba, int width, int height) {
    return encode(rgba, width, height, 4);
}

bool writePng(const std::string& path, const uint8_t* rgb, int width, int height) {
    std::vector<uint8_t> bytes = encodePng(rgb, width, height);
    return writeBytes(path, bytes.data(), bytes.size());
}
