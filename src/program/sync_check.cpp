#include "program/sync_check.h"

#include "world/world_compare.h"

SyncCheck::SyncCheck(int frames)
    : frames_(frames), before_(static_cast<size_t>(frames)), inputs_(static_cast<size_t>(frames)),
      stepped_(std::make_unique<World>()) {}

void SyncCheck::before(const FrameInput& input) {
    copyWorld(before_[static_cast<size_t>(next_)], theWorld);
    inputs_[static_cast<size_t>(next_)] = input;
    next_ = (next_ + 1) % frames_;
    if (count_ < frames_) ++count_;
}

std::string SyncCheck::after() {
    copyWorld(*stepped_, theWorld);
    const uint64_t wanted = worldHash(theWorld);
    int first = (next_ - count_ + frames_) % frames_;
    copyWorld(theWorld, before_[static_cast<size_t>(first)]);
    for (int k = 0; k < count_; ++k) {
        int slot = (first + k) % frames_;
        again_.events.clear();
        stepWorld(inputs_[static_cast<size_t>(slot)], again_);
    }
    std::string difference;
    if (worldHash(theWorld) != wanted || !sameWorld(theWorld, *stepped_)) {
        difference = worldDifference(theWorld, *stepped_);
        if (difference.empty()) difference = "the hash only";
    }
    copyWorld(theWorld, *stepped_);
    return difference;
}
