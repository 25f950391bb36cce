#pragma once
#include <cstdint>

class Clock;
class Display;

// Every frame lasts at least this long, measured from the end of one wait to the next.
constexpr uint32_t frameMillis = 33;

// Handles window events and sleeps in short steps until frameMillis have passed since
// lastTick (unsigned difference, so the wrap of the tick counter is harmless); returns the
// tick at which it stopped. A late frame does not wait at all, and nothing is caught up.
uint32_t waitForNextFrame(Clock& clock, Display* display, uint32_t lastTick);

// Tick-counter milliseconds in one wall-clock second, measured by sleeping, not spinning;
// `instant` (a virtual clock) answers 1000 without touching the clock.
int measureTicksPerSecond(Clock& clock, Display* display, bool instant);
