#include "engine/engine.h"

#include "base/log.h"

Engine* theEngine = nullptr;

Engine::Engine(Display* display, int width, int height, int bitsPerPixel)
    : display_(display), bitsPerPixel_(bitsPerPixel), width_(width), height_(height) {
    logEnabled = true;
    backgroundSurface_ = std::make_unique<Surface>(width, height);
    for (auto& picture : pictures_) picture = std::make_unique<Surface>(width, height);
    // Sprites may hang 100 pixels over every edge and still be drawn in part.
    setClipRect(-100, -100, width + 100, height + 100);
    screens_[0] = frontSurface();
    screens_[1] = backBuffer();
    for (auto& tiles : dirty_) tiles = std::make_unique<DirtyTiles>(width, height);
}

DirtyTiles& Engine::dirtyTilesOf(Surface* surface) { return *dirty_[surface == screens_[0] ? 0 : 1]; }

void Engine::touched(Surface* surface) { dirtyTilesOf(surface).markAll(); }

Engine::~Engine() {
    if (theEngine == this) theEngine = nullptr;
}

void Engine::setClipRect(int left, int top, int right, int bottom) {
    clip_ = Rect{left, top, right, bottom};
}

void Engine::restoreBackBuffer() {
    dirtyTilesOf(backBuffer()).restore(*backBuffer(), *backgroundSurface_);
}

void Engine::setSplatCell(int splat, int sheet, int cell) {
    if (splat < 0 || splat >= splatFrames) return;
    splatSheet_[splat] = sheet;
    splatCell_[splat] = cell;
}
