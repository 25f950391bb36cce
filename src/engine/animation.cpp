#include "engine/animation.h"

Animation::Animation(SpriteFrame** frames, int frameCount, int* durations, int* skips)
    : frames_(frames), frameCount_(frameCount), durations_(durations), skips_(skips) {}

// The animation was handed its three arrays (allocated with new[]) and owns them.
Animation::~Animation() {
    delete[] frames_;
    delete[] durations_;
    delete[] skips_;
}
