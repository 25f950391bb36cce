#pragma once
#include <cstdint>
#include <vector>

// What a world's step does beyond itself: sounds to play, what the trace and the log should
// say, a highscore table to save, a screenshot to take. The step only records them, in the
// order they happen; the shell performs them after the frame, so a frame stepped again (a
// rollback, a check) does nothing twice unless the shell says so.
enum class EventKind : uint8_t {
    sound,           // a: SoundOp, b: sound (sound_names.h), c: frequency in Hz
    state,           // a: from, b: to
    score,           // a: player, b: score
    spawn,           // a: climber, b: target x, c: direction
    pickup,          // a: player, b: 0 left supply, 1 right
    throwBall,       // a: player, b: ball, c: x
    hit,             // a: climber, b: ball, c: owner, d: hits
    cut,             // a: climber, b: player
    struck,          // a: player, b: climber
    dead,            // a: player
    pause,
    resume,
    log,             // text: a line for the diagnostic log
    saveHighscores,  // a new record changed the world's table: keep it
    screenshot,      // the screenshot button; a: FrontShows, b: the Picture if a new one
    inputRead,       // the frame's input was read here
    newGame,         // a: the seed
};

enum class SoundOp : int32_t { play, loop, stop, frequency };

// What the front surface holds when a screenshot is asked for within a step: normally the
// frame shown last, unless the step already put a new picture up.
enum class FrontShows : int32_t { lastFrame, picture };

struct GameEvent {
    EventKind kind;
    int32_t a = 0;
    int32_t b = 0;
    int32_t c = 0;
    int32_t d = 0;
    const char* text = nullptr;
};

// Where the step in progress puts its events; null drops them (a world stepped only to be
// looked at).
extern std::vector<GameEvent>* theEvents;

inline void emitEvent(EventKind kind, int32_t a = 0, int32_t b = 0, int32_t c = 0, int32_t d = 0) {
    if (theEvents != nullptr) theEvents->push_back(GameEvent{kind, a, b, c, d, nullptr});
}
inline void emitLog(const char* line) {
    if (theEvents != nullptr) theEvents->push_back(GameEvent{EventKind::log, 0, 0, 0, 0, line});
}
