// The packet codec is the only code that reads bytes from another machine: what it accepts
// must round-trip, and anything malformed must be refused, never half-read.
#include "net/net_packet.h"

#include <gtest/gtest.h>

using namespace net;

namespace {

bool accepted(const std::vector<uint8_t>& bytes, Packet& p) {
    std::string error;
    return decodePacket(bytes.data(), bytes.size(), p, error);
}

InputFrame sampleInput() {
    InputFrame f;
    f.frame = 1234567;
    f.first.keys = allGameKeys();
    f.first.buttons = 0x80000001u;
    f.first.directions = 0xF;
    f.third.keys = gameKeyBit(57);
    f.third.buttons = 4;
    f.third.directions = 0x2;
    return f;
}

}  // namespace

TEST(NetPacket, GreetingAndInputRoundTrip) {
    Hello hello;
    hello.role = Role::guest;
    hello.version = "0.1.0";
    hello.dataHash = 0x0123456789ABCDEFull;
    hello.startTick = 0xFFFFFFFFu;
    hello.mode = Mode::lockstep;
    hello.delay = 8;
    hello.highscores[41] = 0xAB;
    // Every field is off its default, so encoding what was decoded gives the same bytes only
    // if nothing was lost on the way.
    Packet p;
    ASSERT_TRUE(accepted(encodeHello(hello), p));
    EXPECT_EQ(encodeHello(p.hello), encodeHello(hello));

    InputFrame input = sampleInput();
    ASSERT_TRUE(accepted(encodeInput(input), p));
    EXPECT_EQ(encodeInput(p.input), encodeInput(input));

    InputBatch batch;
    batch.ack = 0x7FFFFFF0u;
    batch.runningFrame = 1234570;
    batch.lead = -3;
    batch.first = input.frame;
    batch.count = maxBatchFrames;
    for (int i = 0; i < maxBatchFrames; ++i) {
        batch.frames[i] = input;
        batch.frames[i].frame = input.frame + static_cast<uint32_t>(i);
        batch.frames[i].first.buttons = static_cast<uint32_t>(i);
    }
    ASSERT_TRUE(accepted(encodeInputBatch(batch), p));
    EXPECT_EQ(encodeInputBatch(p.batch), encodeInputBatch(batch));
    EXPECT_EQ(p.batch.frames[maxBatchFrames - 1].frame, input.frame + maxBatchFrames - 1);
}

TEST(NetPacket, WhatTheHostSendsAThirdMachineAndSpectatorsRoundTrips) {
    Packet p;
    Hello spectator;
    spectator.role = Role::spectator;
    spectator.slot = 2;
    ASSERT_TRUE(accepted(encodeHello(spectator), p));
    EXPECT_EQ(encodeHello(p.hello), encodeHello(spectator));

    InputBatch forwarded;
    forwarded.slot = 2;
    forwarded.otherAck = 77;
    forwarded.count = 1;
    forwarded.frames[0] = sampleInput();
    ASSERT_TRUE(accepted(encodeInputBatch(forwarded), p));
    EXPECT_EQ(encodeInputBatch(p.batch), encodeInputBatch(forwarded));

    Start start;
    start.machines = 3;
    start.delays[2] = 4;
    start.highscores[0] = 0x5A;
    ASSERT_TRUE(accepted(encodeStart(start), p));
    EXPECT_EQ(encodeStart(p.start), encodeStart(start));

    ConfirmedInputs confirmed;
    confirmed.first = 1000;
    confirmed.count = maxBatchFrames;
    confirmed.players[maxBatchFrames - 1][2] = sampleInput().first;
    std::vector<uint8_t> bytes = encodeConfirmed(confirmed);
    EXPECT_LE(bytes.size(), 1024u) << "one datagram";
    ASSERT_TRUE(accepted(bytes, p));
    EXPECT_EQ(encodeConfirmed(p.confirmed), bytes);

    WorldPart part;
    part.frame = 999;
    part.hash = 0xFEDCBA9876543210ull;
    part.total = 5000;
    part.offset = 5000 - maxWorldPiece;
    part.length = maxWorldPiece;
    part.bytes[maxWorldPiece - 1] = 7;
    bytes = encodeWorldPart(part);
    EXPECT_LE(bytes.size(), 1024u);
    ASSERT_TRUE(accepted(bytes, p));
    EXPECT_EQ(encodeWorldPart(p.world), bytes);
}

TEST(NetPacket, MalformedPacketsAreRefused) {
    std::vector<uint8_t> input = encodeInput(sampleInput());
    Hello printableOddity;
    printableOddity.version = "%s%n";  // accepted: it is only ever shown as data
    Hello control;
    control.version = "0.1\n";
    std::vector<uint8_t> hello = encodeHello(Hello{});
    Hello lockstepHello;
    lockstepHello.mode = Mode::lockstep;
    lockstepHello.delay = 2;
    std::vector<uint8_t> lockstep = encodeHello(lockstepHello);
    InputBatch three;
    three.first = 10;
    three.count = 3;
    std::vector<uint8_t> batch = encodeInputBatch(three);
    std::vector<uint8_t> start = encodeStart(Start{});
    ConfirmedInputs one;
    one.first = 1;
    one.count = 1;
    std::vector<uint8_t> confirmed = encodeConfirmed(one);
    WorldPart piece;
    piece.total = 16;
    piece.length = 16;
    // After the type byte: frame (4), hash (8), total (4), offset (4), length (2).
    std::vector<uint8_t> world = encodeWorldPart(piece);
    // After the type byte: ack (4), running frame (4), lead (1), first frame (4), count (1).
    const size_t countAt = 14;
    // After the type byte and the frame: keys (8 bytes), buttons (4), directions (1).
    const size_t first = 5, third = first + 13, delayAt = hello.size() - highscoreImageSize - 2;
    auto with = [](std::vector<uint8_t> b, size_t at, uint8_t value) {
        b.at(at) = value;
        return b;
    };
    auto resized = [](std::vector<uint8_t> b, long change) {
        b.resize(static_cast<size_t>(static_cast<long>(b.size()) + change));
        return b;
    };
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"empty", {}},
        {"unknown type", {9, 0, 0, 0}},
        {"input one byte short", resized(input, -1)},
        {"input with a trailing byte", resized(input, 1)},
        {"frame zero", with(with(with(with(input, 1, 0), 2, 0), 3, 0), 4, 0)},
        {"a key the game has no bit for", with(input, first + 7, 0x80)},
        {"a third player's key the game has no bit for", with(input, third + 5, 0x01)},
        {"directions past the four", with(input, first + 12, 0x10)},
        {"third player's directions past the four", with(input, third + 12, 0xFF)},
        {"greeting without magic", with(hello, 1, 'X')},
        {"greeting of another protocol", with(hello, 5, 99)},
        {"version longer than allowed", with(hello, 8, maxVersionLength + 1)},
        {"version with a control character", encodeHello(control)},
        {"greeting cut short", resized(hello, -1)},
        {"lockstep without delay", with(lockstep, delayAt, 0)},
        {"delay nine", with(lockstep, delayAt, 9)},
        {"rollback delay five", with(hello, delayAt, 5)},
        {"unknown network mode", with(hello, delayAt - 1, 2)},
        {"inputs one byte short", resized(batch, -1)},
        {"inputs with a trailing byte", resized(batch, 1)},
        {"inputs counting more frames than they hold", with(batch, countAt, 4)},
        {"inputs over the most a packet carries", with(batch, countAt, maxBatchFrames + 1)},
        {"inputs from frame zero", with(batch, 10, 0)},
        {"inputs past the longest game", with(batch, 13, 0x80)},
        {"an input's key the game has no bit for", with(batch, countAt + 1 + 7, 0x80)},
        {"state hash cut short", resized(encodeStateHash({30, 1}), -1)},
        {"unknown farewell", with(encodeBye({}), 1, 200)},
        {"a fourth role", with(hello, 7, 3)},
        {"a place beyond the third", with(hello, delayAt - 2, 3)},
        {"inputs of a fourth machine", with(batch, batch.size() - 5, 3)},
        {"a game of four machines", with(start, 1, 4)},
        {"a game of one machine", with(start, 1, 1)},
        {"a start's delay past eight", with(start, 3, 9)},
        {"start cut short", resized(start, -1)},
        {"confirmed inputs counting more than they hold", with(confirmed, 5, 2)},
        {"confirmed inputs from frame zero", with(confirmed, 1, 0)},
        {"a confirmed key the game has no bit for", with(confirmed, 6 + 7, 0x80)},
        {"a world piece past the world's end", with(world, 17, 0x10)},
        {"an empty world", with(world, 13, 0)},
        {"a world piece over the most one carries", with(world, 22, 0x04)},
        {"a world piece cut short", resized(world, -1)},
    };
    Packet p;
    for (const auto& [what, bytes] : cases) EXPECT_FALSE(accepted(bytes, p)) << what;
    EXPECT_TRUE(accepted(encodeHello(printableOddity), p));
}
