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
    f.count = 3;
    f.commands[0] = {NetCommand::Kind::key, 200, true, 0, 'x', 0};
    f.commands[1] = {NetCommand::Kind::joyButton, 31, false, 7, 'x', 0};
    f.commands[2] = {NetCommand::Kind::joyAxis, 0, false, 2, 'y', -1024};
    return f;
}

}  // namespace

TEST(NetPacket, GreetingAndInputRoundTrip) {
    Hello hello;
    hello.role = Role::guest;
    hello.version = "0.1.0";
    hello.dataHash = 0x0123456789ABCDEFull;
    hello.startTick = 0xFFFFFFFFu;
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
}

TEST(NetPacket, MalformedPacketsAreRefused) {
    std::vector<uint8_t> input = encodeInput(sampleInput());
    Hello printableOddity;
    printableOddity.version = "%s%n";  // accepted: it is only ever shown as data
    Hello control;
    control.version = "0.1\n";
    std::vector<uint8_t> hello = encodeHello(Hello{});
    const size_t command = 6, delayAt = hello.size() - highscoreImageSize - 2;
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
        {"count larger than the body", with(input, 5, 4)},
        {"count over the limit", with(input, 5, maxCommandsPerFrame + 1)},
        {"frame zero", with(with(with(with(input, 1, 0), 2, 0), 3, 0), 4, 0)},
        {"unknown input kind", with(input, command, 3)},
        {"key state neither up nor down", with(input, command + 2, 2)},
        {"a key with a controller", with(input, command + 3, 1)},
        {"button 32", with(input, command + 7 + 1, 32)},
        {"controller 8", with(input, command + 7 + 3, 8)},
        {"axis z", with(input, command + 14 + 4, 'z')},
        {"axis value 1025", with(with(input, command + 14 + 5, 0x01), command + 14 + 6, 0x04)},
        {"greeting without magic", with(hello, 1, 'X')},
        {"greeting of another protocol", with(hello, 5, 99)},
        {"version longer than allowed", with(hello, 8, maxVersionLength + 1)},
        {"version with a control character", encodeHello(control)},
        {"greeting cut short", resized(hello, -1)},
        {"delay zero", with(hello, delayAt, 0)},
        {"delay nine", with(hello, delayAt, 9)},
        {"state hash cut short", resized(encodeStateHash({30, 1}), -1)},
        {"unknown farewell", with(encodeBye({}), 1, 200)},
    };
    Packet p;
    for (const auto& [what, bytes] : cases) EXPECT_FALSE(accepted(bytes, p)) << what;
    EXPECT_TRUE(accepted(encodeHello(printableOddity), p));
}
