// The lockstep buffer decides when a frame may run; the input merge decides what both games
// see. A mistake in either shows up as two screens that disagree.
#include "net/lockstep.h"

#include <gtest/gtest.h>

#include "net/input_merge.h"

using namespace net;

namespace {

InputFrame frameWith(uint32_t frame, uint32_t firstButtons = 0) {
    InputFrame f;
    f.frame = frame;
    f.first.buttons = firstButtons;
    return f;
}

PlayerInput player(uint64_t keys, uint32_t buttons, uint8_t directions) {
    PlayerInput p;
    p.keys = keys;
    p.buttons = buttons;
    p.directions = directions;
    return p;
}

}  // namespace

TEST(LockstepBuffer, FramesWaitForBothMachinesAfterTheDelay) {
    LockstepBuffer buffer(3);
    std::string error;
    for (uint32_t f = 1; f <= 3; ++f)
        EXPECT_TRUE(buffer.ready(f)) << "the delay frames run on no input";
    EXPECT_FALSE(buffer.ready(4));
    buffer.putLocal(frameWith(4, 1));
    EXPECT_FALSE(buffer.ready(4)) << "the peer's input is still missing";
    ASSERT_TRUE(buffer.putRemote(frameWith(4), error)) << error;
    EXPECT_TRUE(buffer.ready(4));
    EXPECT_EQ(buffer.local(4).first.buttons, 1u);
    EXPECT_EQ(buffer.local(2).first.buttons, 0u);
    EXPECT_FALSE(buffer.ready(5));
}

TEST(LockstepBuffer, PeerInputOutOfOrderOrFarAheadIsABrokenPeer) {
    LockstepBuffer buffer(2);
    std::string error;
    EXPECT_FALSE(buffer.putRemote(frameWith(4), error)) << "frame 3 is due first";
    ASSERT_TRUE(buffer.putRemote(frameWith(3), error)) << error;
    EXPECT_FALSE(buffer.putRemote(frameWith(3), error)) << "no frame twice";
    // A well-behaved peer is at most twice the delay ahead; a flood would overwrite frames
    // we have not run yet.
    uint32_t f = 4;
    while (buffer.putRemote(frameWith(f), error)) ++f;
    EXPECT_LT(f, 40u);
    EXPECT_NE(error.find("ahead"), std::string::npos) << error;
    buffer.ran(20);
    EXPECT_TRUE(buffer.putRemote(frameWith(f), error)) << "room again once frames ran";
}

TEST(InputMerge, EachMachinesPlayerOneKeepsHisOwnKeysAndTheThirdControllerIsShared) {
    InputFrame host = frameWith(5), guest = frameWith(5);
    host.first = player(gameKeyBit(30), 0b1, 0x4);    // A held, fire, left
    guest.first = player(gameKeyBit(31), 0b100, 0x8);  // S held, bomb, right
    host.third = player(gameKeyBit(30), 0b10, 0x1);
    guest.third = player(gameKeyBit(31), 0b1000, 0x2);
    FrameInput merged = mergeInputs(host, guest);
    EXPECT_EQ(merged.players[0], host.first) << "the host's player 1 is player 1";
    EXPECT_EQ(merged.players[1], guest.first) << "the guest's player 1 is player 2";
    EXPECT_EQ(merged.players[2].buttons, 0b1010u) << "both third controllers' buttons count";
    EXPECT_EQ(merged.players[2].directions, 0x1) << "the host's stick wins where they disagree";
    EXPECT_EQ(merged.players[2].keys, gameKeyBit(30) | gameKeyBit(31))
        << "player 3's record may be typed on either machine";
    guest.third.directions = 0x2;
    host.third.directions = 0;
    EXPECT_EQ(mergeInputs(host, guest).players[2].directions, 0x2);
}

TEST(InputMerge, AMachineSendsItsFirstPlayerAndThirdControllerTypingAtItsKeyboard) {
    FrameInput local;
    local.players[0] = player(gameKeyBit(1), 0b1, 0x4);
    local.players[1] = player(gameKeyBit(1), 0b11, 0x8);  // a second local player plays nobody
    local.players[2] = player(gameKeyBit(1), 0b100, 0x2);
    InputFrame sent = localInputFrame(9, local);
    EXPECT_EQ(sent.frame, 9u);
    EXPECT_EQ(sent.first, local.players[0]);
    EXPECT_EQ(sent.third, local.players[2]);
}
