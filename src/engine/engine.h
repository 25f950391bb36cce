#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include <vector>

#include "engine/backdrop.h"
#include "engine/dirty_tiles.h"
#include "platform/display.h"
#include "platform/surface.h"

struct Backdrop;
struct FramePicture;
struct Stamp;

// The one object through which the game reaches the screen: the display's front surface and
// back buffer, the sprite sheets, the full-screen pictures and the background surface made
// from a world's backdrop. It draws what a world's step says a frame shows; it holds no game
// state of its own.
class Engine {
public:
    static constexpr int maxSheets = 255;
    static constexpr int splatFrames = 6;

    explicit Engine(Display* display, int width = 640, int height = 480, int bitsPerPixel = 16);
    virtual ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // --- display (engine.cpp) ---
    void setClipRect(int left, int top, int right, int bottom);
    const Rect& clipRect() const { return clip_; }
    int screenWidth() const { return width_; }
    int screenHeight() const { return height_; }
    Surface* frontSurface() { return &display_->frontSurface(); }
    Surface* backBuffer() { return &display_->backBuffer(); }
    Surface* backgroundSurface() { return backgroundSurface_.get(); }
    Display* display() { return display_; }

    // --- sheets and pictures (raw_image.cpp) ---
    int addSheet(const char* fileName, int width, int height, int fileBitsPerPixel, int cellWidth,
                 int cellHeight, bool drawable);
    // Reads the title and wall pictures (start-up); a picture that cannot be read is black.
    void loadPictures();
    // The full-screen picture (black is a surface of black).
    Surface* pictureSurface(Picture picture);
    int loadRawInto(Surface* surface, const char* fileName, int fileBitsPerPixel, int unused1,
                    int unused2, int width, int height);
    int sheetCount() const { return sheetCount_; }
    Surface* sheetSurface(int sheet) { return sheetSurface_[sheet].get(); }
    int cellWidth(int sheet) const { return cellWidth_[sheet]; }
    int cellHeight(int sheet) const { return cellHeight_[sheet]; }
    int sheetWidth(int sheet) const { return sheetWidth_[sheet]; }
    int sheetHeight(int sheet) const { return sheetHeight_[sheet]; }
    bool sheetDrawable(int sheet) const { return sheetDrawable_[sheet] != 0; }
    // The cells a backdrop's stamps refer to (0-2 small splats, 3-5 large).
    void setSplatCell(int splat, int sheet, int cell);

    // --- frame rendering (render.cpp) ---
    // Draws the frame a world's step recorded over that world's backdrop, shows it, and
    // makes the back buffer ready for the next one. `drawOver` adds to a held (paused)
    // frame's picture.
    void showFrame(const FramePicture& picture, const Backdrop& backdrop,
                   const std::function<void(Surface& target)>& drawOver = {});
    void drawCell(int sheet, int cell, int x, int y, bool mirrorX, bool mirrorY, Surface* target,
                  bool colourKey);
    // Frames shown so far.
    int framesShown() const { return framesShown_; }
    // Something drew on one of the screen's two surfaces behind the engine's back (a notice
    // over the picture): it is refilled whole before it is drawn on again.
    void touched(Surface* surface);
    // Time spent in the last frame's drawing and presentation, for --stats.
    int64_t lastDrawMicros() const { return lastDrawMicros_; }
    int64_t lastPresentMicros() const { return lastPresentMicros_; }

    // --- screenshots (screenshot.cpp) ---
    int saveScreenshot(const char* fileName);

private:
    // Makes the background surface the picture with these stamps, drawing only what it lacks.
    void syncBackground(Picture picture, const Stamp* stamps, int count);
    bool backgroundIs(Picture picture, const Stamp* stamps, int count) const;
    void restoreBackBuffer();
    DirtyTiles& dirtyTilesOf(Surface* surface);

    int sheetCount_ = 0;
    std::unique_ptr<Surface> backgroundSurface_;
    std::unique_ptr<Surface> pictures_[3];
    Display* display_;
    std::unique_ptr<Surface> sheetSurface_[maxSheets];
    int cellWidth_[maxSheets] = {};
    int cellHeight_[maxSheets] = {};
    int sheetWidth_[maxSheets] = {};
    int sheetHeight_[maxSheets] = {};
    uint8_t sheetDrawable_[maxSheets] = {};
    int splatSheet_[splatFrames] = {};
    int splatCell_[splatFrames] = {};
    int bitsPerPixel_;
    int width_;
    int height_;
    Rect clip_;
    // What the background surface holds: a picture and the stamps drawn on it, in order.
    Picture backgroundPicture_ = Picture::black;
    std::vector<Stamp> backgroundStamps_;
    // For each of the display's two surfaces, where it may differ from the background.
    Surface* screens_[2] = {};
    std::unique_ptr<DirtyTiles> dirty_[2];
    int framesShown_ = 0;
    int64_t lastDrawMicros_ = 0;
    int64_t lastPresentMicros_ = 0;
};

// The program-wide engine, set by start-up.
extern Engine* theEngine;

// The one blit behind every drawn cell: the width x height rectangle at (sourceX, sourceY) of
// source onto target at (targetX, targetY), mirrored as asked, skipping black when colourKey
// is set, clipped to clip and to the target.
void blitCell(Surface* source, Surface* target, int sourceX, int sourceY, int width, int height,
              int targetX, int targetY, bool mirrorX, bool mirrorY, bool colourKey,
              const Rect& clip);

// Converts width x height pixels between the file and display formats (24 <-> 15/16 bits).
void convertPixels(const void* source, void* destination, int sourceBits, int destinationBits,
                   int width, int height);
