#pragma once
#include <cstdint>
#include <string>
#include <vector>

// PNG bytes of an RGB picture (rows top to bottom), stored without compression so the
// encoder needs no library.
std::vector<uint8_t> encodePng(const uint8_t* rgb, int width, int height);
// The same with an alpha channel (straight alpha), as icon themes want.
std::vector<uint8_t> encodePngRgba(const uint8_t* rgba, int width, int height);
bool writePng(const std::string& path, const uint8_t* rgb, int width, int height);
