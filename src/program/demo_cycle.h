#pragma once
#include <cstdint>
#include <vector>

#include "base/events.h"
#include "recording/attract_demo.h"

struct StepOutput;

// The attract demo in the run: it comes after a stretch of menu with nothing pressed and
// goes at any press, playing the kept record game with the most players (or the autopilot)
// at half volume with "DEMO" in the corner.
class DemoCycle {
public:
    // Runs recording a whole run or playing online never show the demo: its game could not
    // be told from the players' own input.
    void allow(bool allowed) { allowed_ = allowed; }
    bool running() const { return demo_.running(); }
    // After the players' world stepped: counts a frame of menu left alone (`idle`) and
    // starts the demo once there were enough. `controllers` is how many the game sees.
    void afterPlayersFrame(bool idle, int controllers, std::vector<GameEvent>& events);
    // One frame of the demo; false once it ended by itself (it is then ended).
    bool step(uint32_t clock, StepOutput& out);
    void end(std::vector<GameEvent>& events);

private:
    AttractDemo demo_;
    bool allowed_ = false;
    int idleFrames_ = 0;
};
