#include "net/input_merge.h"

namespace net {

FrameInput mergeInputs(const InputFrame& host, const InputFrame& guest) {
    FrameInput merged;
    merged.players[0] = host.first;
    merged.players[1] = guest.first;
    PlayerInput& third = merged.players[2];
    third.keys = host.third.keys | guest.third.keys;
    third.buttons = host.third.buttons | guest.third.buttons;
    third.directions = host.third.directions != 0 ? host.third.directions : guest.third.directions;
    return merged;
}

FrameInput mergeMachines(const InputFrame* bySlot, int machines) {
    if (machines < 3) return mergeInputs(bySlot[0], bySlot[1]);
    FrameInput merged;
    for (int s = 0; s < 3; ++s) merged.players[s] = bySlot[s].first;
    return merged;
}

InputFrame localInputFrame(uint32_t frame, const FrameInput& local) {
    InputFrame mine;
    mine.frame = frame;
    mine.first = local.players[0];
    mine.third = local.players[2];
    // The third controller's player types at this machine's keyboard too.
    mine.third.keys = local.players[0].keys;
    return mine;
}

}  // namespace net
