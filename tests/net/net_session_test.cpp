// Two sessions in one process over loopback: what each side concludes when the games drift
// apart, when the greeting differs, or when the peer sends rubbish.
#include "net/net_session.h"

#include <enet/enet.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace net;

namespace {

SessionSettings settingsFor(bool hosting, uint16_t port) {
    SessionSettings s;
    s.hosting = hosting;
    s.hostName = "127.0.0.1";
    s.port = port;
    s.hello.version = "1.0";
    s.hello.dataHash = 42;
    s.hello.startTick = hosting ? 777 : 1;
    if (hosting) s.bindAddress = "127.0.0.1";  // nobody beyond this machine needs to reach it
    return s;
}

// Hosts on a free port in a thread of its own; `join(port)` runs meanwhile.
template <typename Join>
bool host(NetSession& session, Join join) {
    std::atomic<int> port{0};
    session.onListening = [&](uint16_t p) { port = p; };
    bool started = false;
    std::thread t([&] {
        Hello agreed, peer;
        started = session.start(settingsFor(true, 0), agreed, peer);
    });
    while (port == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    join(static_cast<uint16_t>(port));
    t.join();
    return started;
}

}  // namespace

TEST(NetSession, DriftingGamesStopOnBothSidesNamingTheFrame) {
    NetSession hostSide, guestSide;
    bool joined = false;
    ASSERT_TRUE(host(hostSide, [&](uint16_t port) {
        Hello agreed, peer;
        joined = guestSide.start(settingsFor(false, port), agreed, peer);
        EXPECT_EQ(agreed.startTick, 777u) << "the host's start tick is the game's";
    }));
    ASSERT_TRUE(joined) << guestSide.message();
    // The guest's game differs from frame 65 on; the first comparison after that is at 90.
    auto play = [](NetSession& s, bool drifts) {
        FrameInput none, out;
        for (uint32_t f = 1; f <= 200; ++f)
            if (!s.exchange(f, none, out) ||
                !s.frameDone(f, drifts && f >= 65 ? f + 1 : f))
                return f;
        return 0u;
    };
    uint32_t hostStopped = 0;
    std::thread t([&] { hostStopped = play(hostSide, false); });
    uint32_t guestStopped = play(guestSide, true);
    t.join();
    for (NetSession* s : {&hostSide, &guestSide}) {
        EXPECT_EQ(s->end(), SessionEnd::desync) << s->message();
        EXPECT_NE(s->message().find("frame 90"), std::string::npos) << s->message();
    }
    EXPECT_EQ(hostSide.localHashAtDesync(), 90u);
    EXPECT_EQ(hostSide.remoteHashAtDesync(), 91u);
    EXPECT_GE(hostStopped, 90u);
    EXPECT_LT(hostStopped, 200u);
    EXPECT_LT(guestStopped, 200u);
}

TEST(NetSession, AGreetingThatDiffersIsRefusedOnBothSidesSayingWhat) {
    struct Case {
        void (*change)(Hello&);
        const char* says;
    };
    const Case cases[] = {
        {[](Hello& h) { h.version = "2.0"; }, "runs parapet 2.0, this one 1.0"},
        {[](Hello& h) { h.dataHash = 43; }, "data files differ"},
    };
    for (const Case& c : cases) {
        NetSession hostSide, guestSide;
        bool joined = true;
        EXPECT_FALSE(host(hostSide, [&](uint16_t port) {
            SessionSettings s = settingsFor(false, port);
            c.change(s.hello);
            Hello agreed, peer;
            joined = guestSide.start(s, agreed, peer);
        }));
        EXPECT_FALSE(joined);
        EXPECT_EQ(hostSide.end(), SessionEnd::refused);
        EXPECT_EQ(guestSide.end(), SessionEnd::refused);
        EXPECT_NE(hostSide.message().find(c.says), std::string::npos) << hostSide.message();
        EXPECT_NE(guestSide.message().find("refused the game: "), std::string::npos);
    }
}

// A raw ENet client, as a port scan or a stranger's program would be: it connects properly,
// then sends a greeting cut short, or stays silent a moment and leaves.
void knock(uint16_t port, bool rubbish) {
    ENetHost* client = enet_host_create(nullptr, 1, 1, 0, 0);
    ENetAddress address;
    enet_address_set_host(&address, "127.0.0.1");
    address.port = port;
    ENetPeer* peer = enet_host_connect(client, &address, 1, 0);
    const uint8_t cutShort[] = {1, 'P', 'R', 'P', 'T', 1, 0, 200};
    ENetEvent event;
    for (int i = 0, connectedAt = -1; i < 200; ++i) {
        if (connectedAt >= 0 && i == connectedAt + 10) enet_peer_disconnect(peer, 0);
        if (enet_host_service(client, &event, 20) <= 0) continue;
        if (event.type == ENET_EVENT_TYPE_CONNECT) connectedAt = i;
        if (event.type == ENET_EVENT_TYPE_CONNECT && rubbish)
            enet_peer_send(
                peer, 0, enet_packet_create(cutShort, sizeof cutShort, ENET_PACKET_FLAG_RELIABLE));
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) break;
    }
    enet_host_destroy(client);
}

// Whoever reaches a waiting host without greeting properly is dropped with a line, a few
// lines a minute at most, and the host goes on waiting for its guest.
TEST(NetSession, AWaitingHostDropsJunkConnectionsAndPlaysWithItsGuest) {
    NetSession hostSide, guestSide;
    std::vector<std::string> notices;
    hostSide.onNotice = [&](const std::string& line) { notices.push_back(line); };
    bool joined = false;
    EXPECT_TRUE(host(hostSide, [&](uint16_t port) {
        for (int i = 0; i < 7; ++i) knock(port, i % 2 == 0);
        Hello agreed, peer;
        joined = guestSide.start(settingsFor(false, port), agreed, peer);
    })) << hostSide.message();
    EXPECT_TRUE(joined) << guestSide.message();
    ASSERT_EQ(notices.size(), 6u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(notices[i].rfind("dropped a connection from 127.0.0.1:", 0), 0u) << notices[i];
        EXPECT_NE(notices[i].find(i % 2 == 0 ? "bad greeting" : "without greeting"),
                  std::string::npos)
            << notices[i];
    }
    EXPECT_NE(notices[5].find("more than 5 bad connections within a minute"), std::string::npos)
        << notices[5];
}
