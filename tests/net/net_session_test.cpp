// Two sessions in one process over loopback: what each side concludes when the games drift
// apart, when the greeting differs, or when the peer sends rubbish.
#include <gtest/gtest.h>

#include <enet/enet.h>

#include <thread>

#include "net/net_session.h"

using namespace net;

namespace {

SessionSettings settingsFor(bool hosting, uint16_t port) {
    SessionSettings s;
    s.hosting = hosting;
    s.hostName = "127.0.0.1";
    s.port = port;
    s.hello.version = "1.0";
    s.hello.dataHash = 42;
    s.hello.delay = 2;
    s.giveUpMs = 20000;
    return s;
}

struct Pair {
    NetSession host;
    NetSession guest;
    bool hostStarted = false;
    bool guestStarted = false;

    // Hosts on a free port and joins it; `changeGuest` alters the guest's greeting.
    void connect(void (*changeGuest)(SessionSettings&) = nullptr) {
        std::atomic<int> port{0};
        host.onListening = [&](uint16_t p) { port = p; };
        std::thread hostThread([&] {
            Hello agreed, peer;
            SessionSettings s = settingsFor(true, 0);
            s.hello.startTick = 777;
            hostStarted = host.start(s, agreed, peer);
        });
        while (port == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Hello agreed, peer;
        SessionSettings s = settingsFor(false, static_cast<uint16_t>(port));
        if (changeGuest) changeGuest(s);
        guestStarted = guest.start(s, agreed, peer);
        if (guestStarted) {
            EXPECT_EQ(agreed.startTick, 777u) << "the host's start tick is the game's";
        }
        hostThread.join();
    }
};

// Runs frames 1..frames on both sides, with the given hash per side and frame.
void runBoth(Pair& pair, uint32_t frames, uint64_t (*hostHash)(uint32_t),
             uint64_t (*guestHash)(uint32_t), uint32_t& hostStopped, uint32_t& guestStopped) {
    auto side = [frames](NetSession& s, uint64_t (*hash)(uint32_t), uint32_t& stopped) {
        std::vector<InputCommand> none, out;
        for (uint32_t f = 1; f <= frames; ++f) {
            if (!s.exchange(f, none, Typist::nobody, out) || !s.frameDone(f, hash(f))) {
                stopped = f;
                return;
            }
        }
        stopped = 0;
        s.finish();
    };
    std::thread hostThread([&] { side(pair.host, hostHash, hostStopped); });
    side(pair.guest, guestHash, guestStopped);
    hostThread.join();
}

}  // namespace

TEST(NetSession, DriftingGamesStopOnBothSidesNamingTheFrame) {
    Pair pair;
    pair.connect();
    ASSERT_TRUE(pair.hostStarted && pair.guestStarted) << pair.host.message() << pair.guest.message();
    uint32_t hostStopped = 0, guestStopped = 0;
    runBoth(
        pair, 200, [](uint32_t f) -> uint64_t { return f; },
        [](uint32_t f) -> uint64_t { return f < 65 ? f : f + 1; }, hostStopped, guestStopped);
    for (NetSession* s : {&pair.host, &pair.guest}) {
        EXPECT_EQ(s->end(), SessionEnd::desync) << s->message();
        EXPECT_NE(s->message().find("frame 90"), std::string::npos) << s->message();
    }
    EXPECT_EQ(pair.host.localHashAtDesync(), 90u);
    EXPECT_EQ(pair.host.remoteHashAtDesync(), 91u);
    EXPECT_GE(hostStopped, 90u);
    EXPECT_LT(hostStopped, 200u);
    EXPECT_LT(guestStopped, 200u);
}

TEST(NetSession, AgreeingGamesRunToTheEnd) {
    Pair pair;
    pair.connect();
    ASSERT_TRUE(pair.hostStarted && pair.guestStarted);
    uint32_t hostStopped = 1, guestStopped = 1;
    auto same = [](uint32_t f) -> uint64_t { return f * 31; };
    runBoth(pair, 150, same, same, hostStopped, guestStopped);
    EXPECT_EQ(hostStopped, 0u) << pair.host.message();
    EXPECT_EQ(guestStopped, 0u) << pair.guest.message();
}

TEST(NetSession, AGreetingThatDiffersIsRefusedOnBothSidesSayingWhat) {
    struct Case {
        void (*change)(SessionSettings&);
        const char* says;
    };
    const Case cases[] = {
        {[](SessionSettings& s) { s.hello.version = "2.0"; }, "runs parapet"},
        {[](SessionSettings& s) { s.hello.dataHash = 43; }, "data files differ"},
    };
    for (const Case& c : cases) {
        Pair pair;
        pair.connect(c.change);
        EXPECT_FALSE(pair.hostStarted);
        EXPECT_FALSE(pair.guestStarted);
        for (NetSession* s : {&pair.host, &pair.guest}) {
            EXPECT_EQ(s->end(), SessionEnd::refused) << s->message();
            EXPECT_NE(s->message().find(c.says), std::string::npos) << s->message();
        }
    }
}

TEST(NetSession, RubbishFromThePeerDropsTheConnectionWithAMessage) {
    NetSession host;
    std::atomic<int> port{0};
    host.onListening = [&](uint16_t p) { port = p; };
    bool started = true;
    std::thread hostThread([&] {
        Hello agreed, peer;
        started = host.start(settingsFor(true, 0), agreed, peer);
    });
    while (port == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // A raw ENet client that connects properly and then sends a greeting cut short.
    ENetHost* client = enet_host_create(nullptr, 1, 1, 0, 0);
    ASSERT_NE(client, nullptr);
    ENetAddress address;
    enet_address_set_host(&address, "127.0.0.1");
    address.port = static_cast<uint16_t>(port);
    ENetPeer* peer = enet_host_connect(client, &address, 1, 0);
    ENetEvent event;
    bool sent = false;
    for (int i = 0; i < 200 && hostThread.joinable(); ++i) {
        if (enet_host_service(client, &event, 20) > 0 && event.type == ENET_EVENT_TYPE_CONNECT &&
            !sent) {
            const uint8_t rubbish[] = {1, 'P', 'R', 'P', 'T', 1, 0, 200};
            enet_peer_send(peer, 0, enet_packet_create(rubbish, sizeof rubbish, ENET_PACKET_FLAG_RELIABLE));
            enet_host_flush(client);
            sent = true;
        }
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (sent && i > 50) break;
    }
    hostThread.join();
    enet_host_destroy(client);
    EXPECT_TRUE(sent);
    EXPECT_FALSE(started);
    EXPECT_EQ(host.end(), SessionEnd::badPacket);
    EXPECT_NE(host.message().find("bad greeting"), std::string::npos) << host.message();
}
