#pragma once
#include <memory>
#include <string>
#include <vector>

#include "world/world.h"
#include "input/frame_input_source.h"
#include "input/device_input.h"
#include "recording/recording.h"

// The attract demo: after a while in the menu, a game plays by itself in a world of its own,
// the record game with the most players if one is kept, else the autopilot. The players'
// world waits aside, untouched, and comes back exactly as it was when the demo ends. The
// demo never types a name, writes no file and runs through the pauses of the game it shows.
class AttractDemo {
public:
    // Starts in place of the world in play, which is kept aside. `recording` may be null (the
    // autopilot plays). The new game's events go to `out`.
    void start(const Recording* recording, std::vector<GameEvent>& out);
    bool running() const { return parked_ != nullptr; }
    // One frame of the demo's world (the world in play while it runs), running on through
    // any pause; its events go to `out`. False once the demo is over.
    bool step(uint32_t clock, StepOutput& out);
    // Puts the players' world back; the demo's sounds stop (their events go to `out`).
    void end(std::vector<GameEvent>& out);

private:
    FrameInput nextInput(uint32_t clock);
    bool over() const { return lastFrame_ > 0 && frame_ >= lastFrame_; }

    std::unique_ptr<World> parked_;
    // A kept record game's input, or the autopilot at player 1's default keys.
    Recording recording_;
    std::unique_ptr<RecordedInput> recorded_;
    std::unique_ptr<DeviceInput> input_;
    std::unique_ptr<FrameInputSource> autopilot_;
    std::vector<InputCommand> commands_;
    int frame_ = 0;       // the demo's own frames so far
    int lastFrame_ = 0;   // 0: until its game is back at the menu
};
