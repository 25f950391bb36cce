#pragma once
#include <cstdint>

// All game time comes through here, so a headless run can replace it with a virtual clock.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps at 2^32.
    virtual uint32_t ticks() = 0;
    // Whole seconds of wall-clock time.
    virtual int64_t wallSeconds() = 0;
    // Sleeps (headless: advances virtual time by) ms milliseconds.
    virtual void sleepMs(uint32_t ms) = 0;
};

// The clock of this run, set by the shell at start-up (game code seeds its generator from it).
extern Clock* theClock;
