#include "engine/engine.h"

void Engine::runHeldFrame(const std::function<void(Surface& target)>& drawOver) {
    if (onFrameStart) onFrameStart(framesCompleted_ + 1);
    readControls();
    readKeyboard();

    // The front surface still holds the last frame the game drew; nothing moves, so it is
    // the picture to show again.
    Surface* target = backBuffer();
    target->copyFrom(*frontSurface());
    if (drawOver) drawOver(*target);
    display_->flip();
    display_->present();
    restoreBackBuffer();
    lastDrawMicros_ = 0;
    lastPresentMicros_ = 0;

    ++framesCompleted_;
    if (onFrameFlipped) onFrameFlipped(framesCompleted_);
}
