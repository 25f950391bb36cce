#pragma once
#include "input/frame_input.h"
#include "net/net_packet.h"

namespace net {

// Puts both machines' input of one frame together into the frame's input of the one game
// both play: the host's player 1 is player 1, the guest's player 1 is player 2, and the
// third controller of either machine plays player 3 (on both at once the host's directions
// win where they disagree; buttons of both count). Each player keeps the keys of his own
// machine's keyboard, so a new record's name is typed where its holder sits.
FrameInput mergeInputs(const InputFrame& host, const InputFrame& guest);

// The same for a game of `machines` (2 or 3), each machine's input in its place. With three
// machines each one's player 1 plays the player of its place.
FrameInput mergeMachines(const InputFrame* bySlot, int machines);

// What this machine sends for one frame of its own input.
InputFrame localInputFrame(uint32_t frame, const FrameInput& local);

}  // namespace net
