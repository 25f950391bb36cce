#include "engine/animation.h"

#include <vector>

std::vector<Animation*> animationRegistry;

namespace {
std::vector<Animation*>& registry() { return animationRegistry; }
}  // namespace

Animation::Animation(SpriteFrame** frames, int frameCount, int* durations, int* skips)
    : id_(static_cast<int>(registry().size())),
      frames_(frames),
      frameCount_(frameCount),
      durations_(durations),
      skips_(skips) {
    registry().push_back(this);
}

// The animation was handed its three arrays (allocated with new[]) and owns them.
Animation::~Animation() {
    if (id_ >= 0 && id_ < static_cast<int>(registry().size()) && registry()[id_] == this)
        registry()[id_] = nullptr;
    delete[] frames_;
    delete[] durations_;
    delete[] skips_;
}

void clearAnimationRegistry() { registry().clear(); }
