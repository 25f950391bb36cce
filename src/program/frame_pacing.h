#pragma once
#include <cstdint>

class Clock;
class Display;

// Every frame lasts at least this long, measured from the end of one wait to the next.
constexpr uint32_t frameMillis = 33;

// Counts the tick-counter milliseconds in one wall-clock second while the game runs: it
// only looks at the clock when asked (at every step of a frame's wait), so the window never
// waits the seconds the count takes. The second counted is the run's third, from one change
// of second to the next, each placed halfway between the looks around it; by then the
// frames run evenly and the looks are a few milliseconds apart. A virtual clock (`instant`)
// counts 1000 at once without being touched.
class TickRateProbe {
public:
    TickRateProbe(Clock& clock, bool instant);
    // Looks at the clock; cheap enough for every step of a frame's wait.
    void look();
    // The count, once, as soon as it is known; 0 before and after.
    int takeCount();

private:
    static constexpr int edgesToCount = 3;
    Clock& clock_;
    int64_t second_ = 0;
    uint32_t lastTick_ = 0, firstEdge_ = 0;
    int edges_ = 0;
    int count_ = 0;
};

// Handles window events and sleeps in short steps until frameMillis have passed since
// lastTick (unsigned difference, so the wrap of the tick counter is harmless); returns the
// tick at which it stopped. A late frame does not wait at all, and nothing is caught up.
// The probe, if any, looks at the clock at every step.
uint32_t waitForNextFrame(Clock& clock, Display* display, uint32_t lastTick,
                          TickRateProbe* probe = nullptr);
