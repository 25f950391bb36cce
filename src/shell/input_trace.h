#pragma once

class Engine;

// Traces what the game flow sees of the input when it changes: each key of the keyboard
// snapshot going down or up, and the direction and button sets of player slots 0-2. Called
// at the start of a frame step, so the events carry the frame whose game logic saw them.
void traceInputChanges(const Engine& engine);
// Forgets what was seen (a new run in the same process).
void resetInputTrace();
