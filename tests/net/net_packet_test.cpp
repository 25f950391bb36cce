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
        {"delay zero", with(hello, delayAt, 0)},
        {"delay nine", with(hello, delayAt, 9)},
        {"state hash cut short", resized(encodeStateHash({30, 1}), -1)},
        {"unknown farewell", with(encodeBye({}), 1, 200)},
    };
    Packet p;
    for (const auto& [what, bytes] : cases) EXPECT_FALSE(accepted(bytes, p)) << what;
    EXPECT_TRUE(accepted(encodeHello(printableOddity), p));
}
