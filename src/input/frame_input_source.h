#pragma once
#include <vector>

#include "platform/headless/input_script.h"

// The one seam every run's input goes through. At the start of each engine frame step the
// run asks its source for that frame's commands (key down/up, controller button down/up,
// stick value), applies them to the scripted keyboard and controllers the Engine reads, and
// hands the same list to whoever listens (the recorder, the network peer). Because the game
// only ever sees devices driven by these commands, what it saw can be written down, played
// back or exchanged exactly.
//
// Sources: InputCapture (the real keyboard and pads of a windowed run), ScriptInputSource
// (an input script or a recording played back), and whatever else can decide a frame's input.
class FrameInputSource {
public:
    virtual ~FrameInputSource() = default;
    // Appends the commands that take effect at the start of engine frame step `frame`
    // (frames count from 1 and are asked for in increasing order, each once).
    virtual void commandsFor(int frame, std::vector<InputCommand>& out) = 0;
};

// Plays an input script: the commands of each frame, in the script's order.
class ScriptInputSource : public FrameInputSource {
public:
    explicit ScriptInputSource(const InputScript& script) : script_(script) {}
    void commandsFor(int frame, std::vector<InputCommand>& out) override;

private:
    const InputScript& script_;
    size_t next_ = 0;
};
