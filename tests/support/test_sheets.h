#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "platform/headless/headless_display.h"
#include "support/files.h"

// Helpers for tests that need pictures on disk: tiny 24-bit ".raw" sheets and pictures written
// into a fresh temporary directory, and an engine on a headless display to load them into.

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// The display value of a 24-bit colour (5-6-5), as the loader converts it.
uint16_t rgb565(Rgb c);

// Writes width x height pixels, top row first, 3 bytes each (red, green, blue).
void writeRaw24(const std::string& path, int width, int height,
                const std::function<Rgb(int x, int y)>& pixel);

// A 640 x 480 x 16 engine on a headless display, installed as theEngine while it lives, and
// an empty world in play.
struct TestEngine {
    TestEngine();
    ~TestEngine();
    HeadlessDisplay display{640, 480};
    Engine engine{&display};

    // Writes a sheet file into dir and adds it; returns the sheet index.
    int addSheet(const std::string& dir, const std::string& name, int width, int height,
                 int cellWidth, int cellHeight, const std::function<Rgb(int x, int y)>& pixel);
};

// The display value at (x, y).
inline uint16_t pixelAt(const Surface* s, int x, int y) { return s->pixels()[y * s->width() + x]; }

// A test with a fresh folder of its own for sheet files and an engine to load them into.
class SheetTest : public testing::Test {
protected:
    std::string dir = makeTempDir("sheets");
    TestEngine t;
    Engine& e = t.engine;
};
