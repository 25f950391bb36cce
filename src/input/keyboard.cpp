#include "engine/engine.h"

void Engine::setUpKeyboard() {
    // The platform hands over a keyboard that is ready to read; all that is left is to start
    // from a snapshot with no key down.
    for (uint8_t& key : keyboardState_) key = 0;
}

void Engine::readKeyboard() {
    if (keyboardDevice_ == nullptr) return;
    uint8_t fresh[256];
    // A failed read (the window lost the keyboard) keeps the last snapshot, as if nothing
    // had changed since.
    if (!keyboardDevice_->read(fresh)) return;
    for (int i = 0; i < 256; ++i) keyboardState_[i] = fresh[i];
}
