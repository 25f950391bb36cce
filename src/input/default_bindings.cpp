#include "input/default_bindings.h"

PlayerKeys defaultPlayerKeys(int player) {
    if (player == 0) return PlayerKeys{200, 208, 203, 205, 54, 157, 28};
    return PlayerKeys{18, 45, 32, 34, 42, 29, 56};
}
