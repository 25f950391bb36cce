#pragma once
// A player 1 for long unattended runs (the soak benchmark, make soak): starts
// games from the menu, accepts any record's name, and in play fetches balls and drops them on
// the highest climber. Not the replay bot: this one is free to change with the rules.
#include <cstdint>
#include <functional>

#include "platform/input.h"

class SoakBot : public KeyboardDevice {
public:
    // Called at the start of every frame with the number of frames completed so far.
    std::function<void(int framesCompleted)> onFrame;

    bool read(uint8_t state[256]) override;

private:
    int goalX(int x, bool& throwHere) const;
};

struct Options;

// Plays headless in this process for `frames` frames with the bot at the keys, data from
// `dataDir`, saves into `saveDir`. Returns runGame's exit code.
int playSoakGame(SoakBot& bot, int frames, const char* dataDir, const char* saveDir);
