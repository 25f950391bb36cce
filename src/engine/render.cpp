#include <chrono>
#include <cstring>

#include "engine/backdrop.h"
#include "engine/engine.h"
#include "engine/frame_picture.h"

namespace {

int64_t microsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

bool sameStamps(const Stamp* a, const Stamp* b, size_t count) {
    return count == 0 || std::memcmp(a, b, count * sizeof(Stamp)) == 0;
}

}  // namespace

bool Engine::backgroundIs(Picture picture, const Stamp* stamps, int count) const {
    return backgroundPicture_ == picture && static_cast<int>(backgroundStamps_.size()) == count &&
           sameStamps(backgroundStamps_.data(), stamps, backgroundStamps_.size());
}

void Engine::syncBackground(Picture picture, const Stamp* stamps, int count) {
    size_t drawn = backgroundStamps_.size();
    bool extends = backgroundPicture_ == picture && drawn <= static_cast<size_t>(count) &&
                   sameStamps(backgroundStamps_.data(), stamps, drawn);
    if (!extends) {
        backgroundSurface_->copyFrom(*pictureSurface(picture));
        backgroundPicture_ = picture;
        backgroundStamps_.clear();
        drawn = 0;
        for (auto& tiles : dirty_) tiles->markAll();
    }
    for (size_t i = drawn; i < static_cast<size_t>(count); ++i) {
        const Stamp& s = stamps[i];
        // A splat is painted as it is, without mirroring or hot spot.
        if (s.splat < splatFrames) {
            int sheet = splatSheet_[s.splat];
            drawCell(sheet, splatCell_[s.splat], s.x, s.y, false, false, backgroundSurface_.get(),
                     true);
            if (sheet >= 0 && sheet < sheetCount_)
                for (auto& tiles : dirty_) tiles->mark(s.x, s.y, cellWidth_[sheet], cellHeight_[sheet]);
        }
        backgroundStamps_.push_back(s);
    }
}

void Engine::showFrame(const FramePicture& picture, const Backdrop& backdrop,
                       const std::function<void(Surface& target)>& drawOver) {
    auto drawStart = std::chrono::steady_clock::now();
    Surface* target = backBuffer();
    DirtyTiles& tiles = dirtyTilesOf(target);
    if (picture.held) {
        // Nothing moved: the picture on screen is the one to show again.
        target->copyFrom(*frontSurface());
        tiles.markAll();
    } else if (backdrop.base == Backdrop::Base::pictureOnly) {
        // A picture put up in this step covers the whole screen at once.
        target->copyFrom(*pictureSurface(backdrop.basePicture));
        tiles.markAll();
    } else if (!backgroundIs(backdrop.basePicture, backdrop.stamps, backdrop.baseStamps)) {
        // Not the world this engine drew last (a start, a rolled back or another world).
        syncBackground(backdrop.basePicture, backdrop.stamps, backdrop.baseStamps);
        tiles.markAll();
        tiles.restore(*target, *backgroundSurface_);
    }
    for (int i = 0; i < picture.count; ++i) {
        const DrawItem& item = picture.items[i];
        if (item.sheet >= sheetCount_ || !sheetDrawable(item.sheet)) continue;
        const bool mirrorX = (item.mirror & 1) != 0, mirrorY = (item.mirror & 2) != 0;
        drawCell(item.sheet, item.cell, item.x, item.y, mirrorX, mirrorY, target, true);
        // Only what the cell really covers needs the background back.
        Rect drawn;
        if (sheetSurface_[item.sheet]->opaqueBounds(item.cell, mirrorX, mirrorY, drawn))
            tiles.mark(item.x + drawn.left, item.y + drawn.top, drawn.right - drawn.left,
                       drawn.bottom - drawn.top);
        else
            tiles.mark(item.x, item.y, cellWidth_[item.sheet], cellHeight_[item.sheet]);
    }
    if (drawOver) {
        drawOver(*target);
        tiles.markAll();
    }
    int64_t drawMicros = microsSince(drawStart);

    auto presentStart = std::chrono::steady_clock::now();
    display_->flip();
    display_->present();
    lastPresentMicros_ = microsSince(presentStart);

    // The frame just shown is now the front surface; the other one is refilled for the next.
    auto restoreStart = std::chrono::steady_clock::now();
    syncBackground(backdrop.picture, backdrop.stamps + backdrop.firstLive,
                   backdrop.stampCount - backdrop.firstLive);
    restoreBackBuffer();
    lastDrawMicros_ = drawMicros + microsSince(restoreStart);
    ++framesShown_;
}

void Engine::drawCell(int sheet, int cell, int x, int y, bool mirrorX, bool mirrorY,
                      Surface* target, bool colourKey) {
    if (cell < 0 || sheet < 0 || sheet >= sheetCount_ || target == nullptr) return;
    const int cw = cellWidth_[sheet];
    const int ch = cellHeight_[sheet];
    if (cw <= 0 || ch <= 0) return;
    const int columns = sheetWidth_[sheet] / cw;
    if (columns <= 0) return;
    const int left = (cell % columns) * cw;
    const int top = (cell / columns) * ch;
    blitCell(sheetSurface_[sheet].get(), target, left, top, cw, ch, x, y, mirrorX, mirrorY,
             colourKey, clip_);
}

void blitCell(Surface* source, Surface* target, int sourceX, int sourceY, int width, int height,
              int targetX, int targetY, bool mirrorX, bool mirrorY, bool colourKey,
              const Rect& clip) {
    if (source == nullptr || target == nullptr) return;
    target->blit(*source, sourceX, sourceY, width, height, targetX, targetY, mirrorX, mirrorY,
                 colourKey, clip);
}
