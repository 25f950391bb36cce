#pragma once
#include <memory>
#include <vector>

class SpriteFrame;

// A sequence of frames with per-frame durations (updates) and skips (next = i + skip + 1).
// Owns its three arrays (allocated with new[]), not the frames.
class Animation {
public:
    Animation(SpriteFrame** frames, int frameCount, int* durations, int* skips);
    virtual ~Animation();
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;

    SpriteFrame* frame(int i) const { return frames_[i]; }
    // Its number in the registry of the run's animations (worlds refer to animations by it).
    int id() const { return id_; }
    int frameCount() const { return frameCount_; }
    int duration(int i) const { return durations_[i]; }
    int skip(int i) const { return skips_[i]; }

private:
    int id_;
    SpriteFrame** frames_;
    int frameCount_;
    int* durations_;
    int* skips_;
};

// Every animation is registered as it is made and numbered in the order made, so the same
// start-up gives the same numbers on every machine. Looked up for every actor every frame.
extern std::vector<Animation*> animationRegistry;
inline Animation* animationById(int id) {
    return static_cast<size_t>(id) < animationRegistry.size() ? animationRegistry[static_cast<size_t>(id)]
                                                              : nullptr;
}
// Forgets every animation (they are being freed) so numbering starts again.
void clearAnimationRegistry();
