#include "platform/sdl/sdl_clock.h"

#include <SDL.h>

#include <ctime>

// The 32-bit tick counter is kept on purpose: the frame loop measures with unsigned
// differences, which stay right across its wrap after 49 days.
uint32_t SdlClock::ticks() { return SDL_GetTicks(); }

int64_t SdlClock::wallSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void SdlClock::sleepMs(uint32_t ms) { SDL_Delay(ms); }
