// Temporary stand-ins for what the engine's frame step calls on other branches (scroller,
// delayed sounds, keyboard and player controls). Whoever implements one deletes it here.
#include "actors/scroller.h"
#include "engine/engine.h"
#include "sound/sound.h"

void Scroller::update() {}
void tickDelayedSounds() {}
void Engine::readControls() {}
void Engine::readKeyboard() {}
void Engine::setUpKeyboard() {}
