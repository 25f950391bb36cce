#include "platform/sdl/sdl_library.h"

#include <SDL.h>

SdlLibrary::~SdlLibrary() { SDL_Quit(); }
