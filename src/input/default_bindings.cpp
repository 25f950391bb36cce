#include "input/default_bindings.h"

#include "engine/engine.h"

namespace {
// bindKeys keeps the pointers, so the button tables live as long as the program.
const int playerOneButtons[3] = {54, 157, 28};
const int playerTwoButtons[3] = {42, 29, 56};
}  // namespace

void bindDefaultKeys(Engine& engine) {
    engine.bindKeys(0, 200, 208, 203, 205, 3, playerOneButtons);
    engine.bindKeys(1, 18, 45, 32, 34, 3, playerTwoButtons);
}
