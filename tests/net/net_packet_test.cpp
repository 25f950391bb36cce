// The packet codec is the only code that reads bytes from another machine: everything it
// accepts must round-trip, and everything malformed must be refused, never half-read.
#include <gtest/gtest.h>

#include "net/net_packet.h"

using namespace net;

namespace {

Packet decodeOk(const std::vector<uint8_t>& bytes) {
    Packet p;
    std::string error;
    EXPECT_TRUE(decodePacket(bytes.data(), bytes.size(), p, error)) << error;
    return p;
}

std::string refusal(std::vector<uint8_t> bytes) {
    Packet p;
    std::string error;
    if (decodePacket(bytes.data(), bytes.size(), p, error)) return "accepted";
    return error;
}

InputFrame sampleInput() {
    InputFrame f;
    f.frame = 1234567;
    f.count = 3;
    f.commands[0] = {NetCommand::Kind::key, 200, true, 0, 'x', 0};
    f.commands[1] = {NetCommand::Kind::joyButton, 31, false, 7, 'x', 0};
    f.commands[2] = {NetCommand::Kind::joyAxis, 0, false, 2, 'y', -1024};
    return f;
}

}  // namespace

TEST(NetPacket, EveryKindRoundTrips) {
    Hello hello;
    hello.role = Role::guest;
    hello.version = "0.1.0";
    hello.dataHash = 0x0123456789ABCDEFull;
    hello.startTick = 0xFFFFFFFFu;
    hello.delay = 8;
    hello.minPlayers = 2;
    for (size_t i = 0; i < highscoreImageSize; ++i) hello.highscores[i] = static_cast<uint8_t>(i * 7);
    Packet p = decodeOk(encodeHello(hello));
    ASSERT_EQ(p.type, PacketType::hello);
    EXPECT_EQ(p.hello.role, Role::guest);
    EXPECT_EQ(p.hello.version, "0.1.0");
    EXPECT_EQ(p.hello.dataHash, hello.dataHash);
    EXPECT_EQ(p.hello.startTick, hello.startTick);
    EXPECT_EQ(p.hello.delay, 8);
    EXPECT_EQ(0, memcmp(p.hello.highscores, hello.highscores, highscoreImageSize));

    InputFrame input = sampleInput();
    p = decodeOk(encodeInput(input));
    ASSERT_EQ(p.type, PacketType::input);
    EXPECT_EQ(p.input.frame, input.frame);
    ASSERT_EQ(p.input.count, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p.input.commands[i], input.commands[i]) << i;

    InputFrame empty;
    empty.frame = 3;
    p = decodeOk(encodeInput(empty));
    EXPECT_EQ(p.input.count, 0) << "a frame without changes still travels";

    p = decodeOk(encodeStateHash({90, 0xFEDCBA9876543210ull}));
    ASSERT_EQ(p.type, PacketType::stateHash);
    EXPECT_EQ(p.stateHash.frame, 90u);
    EXPECT_EQ(p.stateHash.hash, 0xFEDCBA9876543210ull);

    p = decodeOk(encodeBye({ByeReason::desync, 300}));
    EXPECT_EQ(p.bye.reason, ByeReason::desync);
    EXPECT_EQ(p.bye.frame, 300u);
}

TEST(NetPacket, MalformedPacketsAreRefusedWithAReason) {
    std::vector<uint8_t> input = encodeInput(sampleInput());
    std::vector<uint8_t> hello = encodeHello(Hello{});
    const size_t commandStart = 6;
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    auto with = [](std::vector<uint8_t> b, size_t at, uint8_t value) {
        b.at(at) = value;
        return b;
    };
    auto cut = [](std::vector<uint8_t> b, size_t drop) {
        b.resize(b.size() - drop);
        return b;
    };
    auto grow = [](std::vector<uint8_t> b) {
        b.push_back(0);
        return b;
    };
    const Case cases[] = {
        {"empty", {}},
        {"unknown type", {9, 0, 0, 0}},
        {"input one byte short", cut(input, 1)},
        {"input with a trailing byte", grow(input)},
        {"count larger than the body", with(input, 5, 4)},
        {"count over the limit", with(input, 5, maxCommandsPerFrame + 1)},
        {"frame zero", with(with(with(with(input, 1, 0), 2, 0), 3, 0), 4, 0)},
        {"unknown input kind", with(input, commandStart, 3)},
        {"key state neither up nor down", with(input, commandStart + 2, 2)},
        {"button 32", with(input, commandStart + 7 + 1, 32)},
        {"controller 8", with(input, commandStart + 7 + 3, 8)},
        {"axis z", with(input, commandStart + 14 + 4, 'z')},
        {"axis value 1025", with(with(input, commandStart + 14 + 5, 0x01), commandStart + 14 + 6, 0x04)},
        {"greeting without magic", with(hello, 1, 'X')},
        {"greeting of another protocol", with(hello, 5, 99)},
        {"version longer than allowed", with(hello, 8, maxVersionLength + 1)},
        {"greeting cut short", cut(hello, 1)},
        {"delay zero", with(hello, hello.size() - highscoreImageSize - 2, 0)},
        {"delay nine", with(hello, hello.size() - highscoreImageSize - 2, 9)},
        {"state hash cut short", cut(encodeStateHash({30, 1}), 1)},
        {"unknown farewell", with(encodeBye({}), 1, 200)},
    };
    for (const Case& c : cases) EXPECT_NE(refusal(c.bytes), "accepted") << c.what;
}

TEST(NetPacket, UnprintableVersionTextIsRefused) {
    Hello hello;
    hello.version = std::string("0.1\n", 4);
    EXPECT_NE(refusal(encodeHello(hello)), "accepted");
    hello.version = "%s%s%n";  // printable, so kept, and only ever shown as data
    EXPECT_EQ(refusal(encodeHello(hello)), "accepted");
}
