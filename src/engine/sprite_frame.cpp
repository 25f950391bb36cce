#include "engine/sprite_frame.h"

#include <cstring>

#include "engine/engine.h"
#include "base/log.h"

SpriteFrame::SpriteFrame(int sheet, bool mirrorX, bool mirrorY, int hotX, int hotY, int cell,
                         Engine* engine)
    : engine_(engine),
      sheet_(sheet),
      cell_(cell),
      mirrorX_(mirrorX),
      mirrorY_(mirrorY),
      cellWidth_(0),
      cellHeight_(0),
      hotX_(hotX),
      hotY_(hotY) {
    const bool sheetKnown = engine != nullptr && sheet >= 0 && sheet < engine->sheetCount();
    if (sheetKnown) {
        cellWidth_ = engine->cellWidth(sheet);
        cellHeight_ = engine->cellHeight(sheet);
    }
    if (cell >= 0) buildMask();
}

SpriteFrame::~SpriteFrame() = default;

void SpriteFrame::buildMask() {
    const size_t size = static_cast<size_t>(cellWidth_ > 0 ? cellWidth_ : 0) *
                        static_cast<size_t>(cellHeight_ > 0 ? cellHeight_ : 0);
    // Anything that keeps us from reading the cell leaves an all-clear mask: a frame we cannot
    // see must not make hits out of nothing.
    mask_ = std::make_unique<uint8_t[]>(size > 0 ? size : 1);
    std::memset(mask_.get(), 0, size > 0 ? size : 1);
    if (size == 0 || engine_ == nullptr || sheet_ < 0 || sheet_ >= engine_->sheetCount()) return;
    Surface* surface = engine_->sheetSurface(sheet_);
    if (surface == nullptr) return;
    const int sheetWidth = engine_->sheetWidth(sheet_);
    const int columns = sheetWidth / cellWidth_;
    if (columns <= 0) return;
    const int left = (cell_ % columns) * cellWidth_;
    const int top = (cell_ / columns) * cellHeight_;
    if (top + cellHeight_ > surface->height() || left + cellWidth_ > surface->width() ||
        sheetWidth != surface->width())
        return;

    const uint16_t* pixels = surface->lock();
    logLine(pixels != nullptr ? "lock ok!\n" : "lock fail!\n");
    logLine("gc1\n");
    if (pixels == nullptr) return;
    long s = static_cast<long>(top) * sheetWidth + left;
    if (mirrorX_) s += cellWidth_ - 1;
    if (mirrorY_) s += static_cast<long>(cellHeight_ - 1) * sheetWidth;
    uint8_t* m = mask_.get();
    for (int row = 0; row < cellHeight_; ++row) {
        for (int col = 0; col < cellWidth_; ++col) {
            *m++ = pixels[s] != 0 ? 1 : 0;
            s += mirrorX_ ? -1 : 1;
        }
        s += mirrorX_ ? cellWidth_ : -cellWidth_;
        s += mirrorY_ ? -sheetWidth : sheetWidth;
    }
    surface->unlock();
}
