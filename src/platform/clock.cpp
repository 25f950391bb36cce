#include "platform/clock.h"

Clock* theClock = nullptr;
