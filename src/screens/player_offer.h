#pragma once

// How many players the menu offers: three while three game controllers answer, else two.
// Changes only while the menu is shown, so a pulled cable never ends a game; a chosen three
// falls back to two when the third controller goes.
void updatePlayerOffer(int controllersAnswering);
