#pragma once

class Engine;

// The keys of players 1 and 2 (player 3 plays with the third joystick only): the arrows with
// right Shift, right Ctrl and Return; E X D G with left Shift, left Ctrl and left Alt.
void bindDefaultKeys(Engine& engine);
