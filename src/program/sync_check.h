#pragma once
#include <memory>
#include <string>
#include <vector>

#include "world/world.h"

// The sync test (--sync-test N): after every step of the world in play, the world is rolled
// back N frames and those frames are stepped again from the inputs they had; it must come out
// the same, byte for byte, or something that steers the game lives outside the world (or a
// step depends on more than the world and its input), and online play with rollback would
// drift apart.
class SyncCheck {
public:
    explicit SyncCheck(int frames);

    // Just before the world in play steps with `input`.
    void before(const FrameInput& input);
    // Just after: rolls back, steps again and compares; "" when the world came out the same,
    // else which part of it did not. The world in play is left as the first step made it.
    std::string after();
    // The world in play was replaced (the attract demo came or went): start afresh.
    void reset() { count_ = 0; }

private:
    int frames_;
    std::vector<World> before_;  // ring: the world before each of the last steps
    std::vector<FrameInput> inputs_;
    int count_ = 0;
    int next_ = 0;
    std::unique_ptr<World> stepped_;
    StepOutput again_;
};
