#include <algorithm>
#include <cstdio>

#include "engine/engine.h"

int Engine::setUpJoysticks(int maxCount) {
    if (joystickSource_ == nullptr) return joystickCount_;
    int n = std::min(maxCount, enumeratedJoysticks_);
    // Slots must stay contiguous, so the first controller that cannot be opened ends the
    // set-up: a later one would otherwise feed the wrong player.
    for (int i = joystickCount_; i < n; ++i) {
        if (!joystickSource_->setUp(i, joystickIdentity_[i])) {
            std::fprintf(
                stderr, "parapet: game controller %d could not be opened; it is not used\n", i + 1);
            break;
        }
        joystickDevice_[i] = i;
        joystickReadable_[i] = true;
        ++joystickCount_;
    }
    return joystickCount_;
}

int Engine::setUpNewJoysticks(int maxCount) {
    if (joystickSource_ == nullptr || joystickCount_ >= maxCount) return joystickCount_;
    int attached = std::min(joystickSource_->enumerate(), maxJoystickIds);
    if (attached <= enumeratedJoysticks_) return joystickCount_;
    int firstNew = enumeratedJoysticks_;
    for (int i = firstNew; i < attached; ++i) joystickIdentity_[i] = i;
    enumeratedJoysticks_ = attached;
    for (int i = firstNew; i < attached && joystickCount_ < maxCount; ++i) {
        if (!joystickSource_->setUp(joystickCount_, joystickIdentity_[i])) {
            std::fprintf(stderr, "parapet: the new game controller could not be opened\n");
            break;
        }
        joystickDevice_[joystickCount_] = joystickCount_;
        joystickReadable_[joystickCount_] = true;
        ++joystickCount_;
    }
    return joystickCount_;
}
