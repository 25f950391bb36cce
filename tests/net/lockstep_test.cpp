// The lockstep buffer decides when a frame may run; the input merge decides what both games
// see. A mistake in either shows up as two screens that disagree.
#include "net/lockstep.h"

#include <gtest/gtest.h>

#include "net/input_merge.h"

using namespace net;

namespace {

InputFrame frameWith(uint32_t frame, std::initializer_list<NetCommand> commands) {
    InputFrame f;
    f.frame = frame;
    for (const NetCommand& c : commands) f.commands[f.count++] = c;
    return f;
}

NetCommand key(int code, bool down) {
    return {NetCommand::Kind::key, static_cast<uint8_t>(code), down, 0, 'x', 0};
}
NetCommand button(int controller, int b, bool down) {
    return {NetCommand::Kind::joyButton,
            static_cast<uint8_t>(b),
            down,
            static_cast<uint8_t>(controller),
            'x',
            0};
}
NetCommand axis(int controller, char a, int value) {
    return {NetCommand::Kind::joyAxis,        0, false,
            static_cast<uint8_t>(controller), a, static_cast<int16_t>(value)};
}

// The commands as script lines (frame 0), joined by "; ".
std::string describe(const std::vector<InputCommand>& commands) {
    std::string text;
    for (const InputCommand& c : commands) text += formatInputCommand(c).substr(2) + "; ";
    return text;
}

}  // namespace

TEST(LockstepBuffer, FramesWaitForBothMachinesAfterTheDelay) {
    LockstepBuffer buffer(3);
    std::string error;
    for (uint32_t f = 1; f <= 3; ++f)
        EXPECT_TRUE(buffer.ready(f)) << "the delay frames run on no input";
    EXPECT_FALSE(buffer.ready(4));
    buffer.putLocal(frameWith(4, {key(57, true)}));
    EXPECT_FALSE(buffer.ready(4)) << "the peer's input is still missing";
    ASSERT_TRUE(buffer.putRemote(frameWith(4, {}), error)) << error;
    EXPECT_TRUE(buffer.ready(4));
    EXPECT_EQ(buffer.local(4).count, 1);
    EXPECT_EQ(buffer.local(2).count, 0);
    EXPECT_FALSE(buffer.ready(5));
}

TEST(LockstepBuffer, PeerInputOutOfOrderOrFarAheadIsABrokenPeer) {
    LockstepBuffer buffer(2);
    std::string error;
    EXPECT_FALSE(buffer.putRemote(frameWith(4, {}), error)) << "frame 3 is due first";
    ASSERT_TRUE(buffer.putRemote(frameWith(3, {}), error)) << error;
    EXPECT_FALSE(buffer.putRemote(frameWith(3, {}), error)) << "no frame twice";
    // A well-behaved peer is at most twice the delay ahead; a flood would overwrite frames
    // we have not run yet.
    uint32_t f = 4;
    while (buffer.putRemote(frameWith(f, {}), error)) ++f;
    EXPECT_LT(f, 40u);
    EXPECT_NE(error.find("ahead"), std::string::npos) << error;
    buffer.ran(20);
    EXPECT_TRUE(buffer.putRemote(frameWith(f, {}), error)) << "room again once frames ran";
}

TEST(InputMerge, GuestPlaysPlayerTwoAndTheThirdControllerPlayerThree) {
    struct Case {
        const char* what;
        InputFrame host;
        InputFrame guest;
        Typist typist;
        const char* expected;
    };
    const Case cases[] = {
        {"host's arrows stay player 1's", frameWith(5, {key(200, true)}), frameWith(5, {}),
         Typist::nobody, "key UP down; "},
        {"guest's arrows and fire become player 2's", frameWith(5, {}),
         frameWith(5, {key(205, true), key(54, true), key(28, true)}), Typist::nobody,
         "key G down; key LSHIFT down; key LMENU down; "},
        {"other guest keys pass", frameWith(5, {}), frameWith(5, {key(1, true), key(57, true)}),
         Typist::nobody, "key ESCAPE down; key SPACE down; "},
        {"the guest types its record's name: its Return is Return, the host's keys rest",
         frameWith(5, {key(30, true)}), frameWith(5, {key(28, true), key(200, true)}),
         Typist::guest, "key RETURN down; key UP down; "},
        {"the host types its record's name", frameWith(5, {key(30, true)}),
         frameWith(5, {key(31, true)}), Typist::host, "key A down; "},
        {"player 3's record: either machine types", frameWith(5, {key(30, true)}),
         frameWith(5, {key(31, true)}), Typist::either, "key A down; key S down; "},
        {"first controllers: host 0, guest 1", frameWith(5, {button(0, 1, true)}),
         frameWith(5, {button(0, 2, true), axis(0, 'x', -1024)}), Typist::nobody,
         "joy 0 button 1 down; joy 1 button 2 down; joy 1 axis x -1024; "},
        {"third controller plays player 3 from either side", frameWith(5, {axis(2, 'y', 512)}),
         frameWith(5, {button(2, 0, true)}), Typist::nobody,
         "joy 2 button 0 down; joy 2 axis y 512; "},
        {"a second controller plays nobody", frameWith(5, {button(1, 0, true)}), frameWith(5, {}),
         Typist::nobody, ""},
    };
    for (const Case& c : cases) {
        InputMerge merge;
        std::vector<InputCommand> out;
        merge.merge(c.host, c.guest, c.typist, out);
        EXPECT_EQ(describe(out), c.expected) << c.what;
    }
}

TEST(InputMerge, OneMachineReleasingDoesNotCancelTheOtherHolding) {
    InputMerge merge;
    std::vector<InputCommand> out;
    // Both hold Escape; the host lets go: still held. Then the guest lets go.
    merge.merge(frameWith(5, {key(1, true)}), frameWith(5, {key(1, true)}), Typist::nobody, out);
    EXPECT_EQ(describe(out), "key ESCAPE down; ");
    out.clear();
    merge.merge(frameWith(6, {key(1, false)}), frameWith(6, {}), Typist::nobody, out);
    EXPECT_EQ(describe(out), "");
    merge.merge(frameWith(7, {}), frameWith(7, {key(1, false)}), Typist::nobody, out);
    EXPECT_EQ(describe(out), "key ESCAPE up; ");
    out.clear();
    // A guest key held when name entry starts is handed over, not left stuck down.
    merge.merge(frameWith(8, {}), frameWith(8, {key(28, true)}), Typist::nobody, out);
    merge.merge(frameWith(9, {}), frameWith(9, {}), Typist::guest, out);
    EXPECT_EQ(describe(out), "key LMENU down; key RETURN down; key LMENU up; ");
    out.clear();
    // The peer gone, nothing either machine held stays down.
    merge.merge(frameWith(10, {button(2, 3, true), axis(0, 'y', 700)}), frameWith(10, {}),
                Typist::nobody, out);
    out.clear();
    merge.releaseAll(out);
    EXPECT_EQ(describe(out), "key LMENU up; joy 0 axis y 0; joy 2 button 3 up; ");
}
