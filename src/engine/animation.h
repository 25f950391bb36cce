#pragma once
#include <memory>

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
    int frameCount() const { return frameCount_; }
    int duration(int i) const { return durations_[i]; }
    int skip(int i) const { return skips_[i]; }

private:
    SpriteFrame** frames_;
    int frameCount_;
    int* durations_;
    int* skips_;
};
