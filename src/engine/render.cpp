#include <chrono>

#include "actors/actor.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
#include "sound/sound.h"

namespace {

int64_t microsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

}  // namespace

void Engine::runFrame() {
    if (onFrameStart) onFrameStart(framesCompleted_ + 1);
    readControls();
    readKeyboard();

    for (int slot = 0, seen = 0, count = overlayCount_; slot < maxOverlays && seen < count;
         ++slot) {
        Scroller* scroller = overlayList_[slot];
        if (scroller == nullptr) continue;
        ++seen;
        if (scroller->isShown()) scroller->update();
    }

    if (Actor::orderChanged()) {
        sortActors();
        Actor::clearOrderChanged();
    }

    tickDelayedSounds();

    auto drawStart = std::chrono::steady_clock::now();
    Surface* target = backBuffer();
    for (int slot = 0, seen = 0, count = actorCount_; slot < maxActors && seen < count; ++slot) {
        Actor* actor = actorList_[slot];
        if (actor == nullptr) continue;
        ++seen;
        if (!actor->isVisible()) continue;
        const SpriteFrame* f = actor->currentFrame();
        if (f == nullptr || f->cell() == -1) continue;
        if (f->sheet() < 0 || f->sheet() >= sheetCount_ || !sheetDrawable(f->sheet())) continue;
        drawCell(f->sheet(), f->cell(), actor->x() - f->hotX(), actor->y() - f->hotY(),
                 f->mirrorX(), f->mirrorY(), target, true);
    }
    int64_t drawMicros = microsSince(drawStart);

    for (int slot = 0, seen = 0, count = actorCount_; slot < maxActors && seen < count; ++slot) {
        Actor* actor = actorList_[slot];
        if (actor == nullptr) continue;
        ++seen;
        // Children move with their parents, inside the parent's update.
        if (!actor->isAttached()) actor->update();
    }

    auto presentStart = std::chrono::steady_clock::now();
    display_->flip();
    display_->present();
    lastPresentMicros_ = microsSince(presentStart);

    // The frame just shown is now the front surface; the other one is refilled for the next.
    auto restoreStart = std::chrono::steady_clock::now();
    restoreBackBuffer();
    lastDrawMicros_ = drawMicros + microsSince(restoreStart);

    ++framesCompleted_;
    if (onFrameFlipped) onFrameFlipped(framesCompleted_);
}

void Engine::addActor(Actor* actor) {
    if (actor == nullptr) return;
    int firstEmpty = -1;
    for (int slot = 0; slot < maxActors; ++slot) {
        if (actorList_[slot] == actor) return;
        if (actorList_[slot] == nullptr && firstEmpty < 0) firstEmpty = slot;
    }
    if (firstEmpty < 0) return;
    actorList_[firstEmpty] = actor;
    actor->setEngine(this);
    ++actorCount_;
}

void Engine::removeActor(Actor* actor) {
    int found = -1;
    for (int slot = 0; slot < actorCount_; ++slot) {
        if (actorList_[slot] == actor) {
            found = slot;
            break;
        }
    }
    if (found < 0 || actor == nullptr) return;
    for (int slot = found; slot < actorCount_ - 1; ++slot) actorList_[slot] = actorList_[slot + 1];
    actorList_[actorCount_ - 1] = nullptr;
    --actorCount_;
}

void Engine::sortActors() {
    int next = 0;
    for (int slot = 0; slot < maxActors; ++slot) {
        if (actorList_[slot] == nullptr) continue;
        Actor* a = actorList_[slot];
        actorList_[slot] = nullptr;
        actorList_[next++] = a;
    }
    // A bubble sort on strict comparison keeps actors of equal depth in the order they were
    // added (the later one in front), and costs a single pass when nothing moved.
    for (int limit = actorCount_ - 1; limit > 0; --limit) {
        bool swapped = false;
        for (int i = 0; i < limit; ++i) {
            if (actorList_[i]->depth() > actorList_[i + 1]->depth()) {
                Actor* t = actorList_[i];
                actorList_[i] = actorList_[i + 1];
                actorList_[i + 1] = t;
                swapped = true;
            }
        }
        if (!swapped) break;
    }
}

void Engine::addOverlay(Scroller* scroller) {
    if (scroller == nullptr || overlayCount_ >= maxOverlays) return;
    int firstEmpty = -1;
    for (int slot = 0; slot < maxOverlays; ++slot) {
        if (overlayList_[slot] == scroller) return;
        if (overlayList_[slot] == nullptr && firstEmpty < 0) firstEmpty = slot;
    }
    if (firstEmpty < 0) return;
    overlayList_[firstEmpty] = scroller;
    ++overlayCount_;
    scroller->setEngine(this);
}

void Engine::removeOverlay(Scroller* scroller) {
    if (scroller == nullptr) return;
    for (int slot = 0; slot < maxOverlays; ++slot) {
        if (overlayList_[slot] == scroller) {
            overlayList_[slot] = nullptr;
            --overlayCount_;
            return;
        }
    }
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
