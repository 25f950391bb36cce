#include "platform/web/web_clock.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

WebClock::WebClock() : start_(emscripten_get_now()), epochAtStart_(emscripten_date_now()) {}

double WebClock::now() const { return emscripten_get_now() - start_ + slept_; }

// The 32-bit counter wraps as the native one does; the frame code measures differences.
uint32_t WebClock::ticks() { return static_cast<uint32_t>(static_cast<uint64_t>(now())); }

int64_t WebClock::wallSeconds() { return static_cast<int64_t>((epochAtStart_ + now()) / 1000.0); }
