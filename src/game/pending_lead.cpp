// Temporary stand-ins for entry points whose real code is being written on other branches.
// Whoever implements one of these deletes its stand-in here (every pending_*.cpp file goes
// away once the branches are merged).
#include <string>

#include "actors/animation_table.h"
#include "game/game_flow.h"
#include "platform/sdl/sdl_platform.h"

bool createSdlPlatform(const SdlSettings&, Platform&, std::string& error) {
    error = "the SDL backend is not built yet";
    return false;
}
