#pragma once
#include <string>
#include <vector>

#include "base/events.h"

class Engine;

// The trace line of an event the trace shows as it is (sounds, states, scores, what happens
// in play): its event name and the JSON members after it. False for any other event.
bool traceLineOf(const GameEvent& event, const char*& name, std::string& fields);

// Does what a world's step asked for, in the order it asked: plays, loops and stops sounds on
// the device, writes the trace and the log, saves the highscore table, takes screenshots.
class EventOutput {
public:
    // What may leave the game for good: a demo or a playback plays, traces and logs, but
    // writes no file.
    enum class Writes { everything, nothing };

    explicit EventOutput(Engine& engine) : engine_(engine) {}

    // `atInputRead` runs where the step read the frame's input (the input trace goes there).
    template <typename F>
    void perform(const std::vector<GameEvent>& events, Writes writes, F&& atInputRead) {
        for (const GameEvent& e : events) {
            if (e.kind == EventKind::inputRead)
                atInputRead();
            else
                perform(e, writes);
        }
    }

private:
    void perform(const GameEvent& event, Writes writes);
    void sound(const GameEvent& event);
    void screenshot(const GameEvent& event);

    Engine& engine_;
};
