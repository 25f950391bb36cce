// Two real parapets playing one game over loopback, each from its own input script. Whatever
// the network does to the packets, both confirm exactly the same game; with rollback and
// real-time frames (--pace), a fair connection never makes them wait.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <thread>

#include "support/screen_run.h"

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;
using screen_run::Result;
using screen_run::Running;

namespace {

// The host starts a two-player game and sends player 1 left to the ball supply; the guest,
// with its own player-1 keys, sends player 2 right to the other one. Both hold fire.
const char* const hostScript =
    "400 tap RSHIFT\n600 key LEFT down\n617 key LEFT up\n640 key RSHIFT down\n";
const char* const guestScript = "600 key RIGHT down\n623 key RIGHT up\n640 key RSHIFT down\n";
constexpr int generousMs = 120000;  // a loaded two-core machine may run both peers slowly

// A peer in a scratch directory of its own, which `@DIR@` in its arguments names.
Running start(const std::string& name, const std::string& script, std::string args) {
    std::string dir = screen_run::scratchDir("_" + name);
    for (size_t at; (at = args.find("@DIR@")) != std::string::npos;) args.replace(at, 5, dir);
    return screen_run::launch(dir, script, args);
}

// The port a host says it listens on, 0 if it never does.
int portOf(const Running& host) {
    return host.says("on port ", 30000)
               ? std::atoi(host.errors().c_str() + host.errors().find("on port ") + 8)
               : 0;
}

// What a peer left once it ended, checked for the exit code it should have.
Result ended(const Running& peer, int exitCode = 0) {
    Result result = screen_run::finish(peer, generousMs);
    EXPECT_EQ(result.exitCode, exitCode) << result.errors;
    return result;
}

// The trace without what names this machine's own files.
std::string traceOf(const Result& peer) { return screen_run::withoutPaths(peer.traceText()); }

// A UDP relay on loopback between the first client it hears and the host: it drops some
// datagrams and holds each other one back a random while, so later ones overtake earlier ones.
// `stallAtMs` after the guest first speaks it holds everything for `stallMs`.
struct Link {
    int dropPercent, minDelayMs, maxDelayMs, stallAtMs = 0, stallMs = 0;
};

class LossyRelay {
public:
    LossyRelay(int hostPort, Link link) : stallAt_(link.stallAtMs), stall_(link.stallMs) {
        socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(socket_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t length = sizeof a;
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&a), &length);
        port = ntohs(a.sin_port);
        thread_ = std::thread(
            [=, this] { run(hostPort, link.dropPercent, link.minDelayMs, link.maxDelayMs); });
    }
    ~LossyRelay() {
        stop_ = true;
        thread_.join();
        ::close(socket_);
    }
    int port = 0;
    std::atomic<int> dropped{0};

private:
    void run(int hostPort, int dropPercent, int minDelayMs, int maxDelayMs) {
        struct Held {
            Steady::time_point due;
            sockaddr_in to;
            std::vector<uint8_t> bytes;
        };
        std::vector<Held> held;
        std::mt19937 random(1234);
        Steady::time_point firstHeard;
        sockaddr_in host{}, guest{};
        host.sin_family = AF_INET;
        host.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        host.sin_port = htons(static_cast<uint16_t>(hostPort));
        uint8_t buffer[4096];
        while (!stop_) {
            pollfd fd{socket_, POLLIN, 0};
            if (::poll(&fd, 1, 1) > 0) {
                sockaddr_in from{};
                socklen_t length = sizeof from;
                ssize_t got = ::recvfrom(socket_, buffer, sizeof buffer, 0,
                                         reinterpret_cast<sockaddr*>(&from), &length);
                bool fromHost = from.sin_port == host.sin_port;
                if (!fromHost && guest.sin_port == 0) {
                    guest = from;
                    firstHeard = Steady::now();
                }
                if (got <= 0 || guest.sin_port == 0) continue;
                if (static_cast<int>(random() % 100) < dropPercent) {
                    ++dropped;
                    continue;
                }
                auto delay = std::chrono::milliseconds(
                    minDelayMs + static_cast<int>(random() % (maxDelayMs - minDelayMs + 1)));
                Steady::time_point due = Steady::now() + delay;
                auto stallFrom = firstHeard + std::chrono::milliseconds(stallAt_);
                auto stallTo = stallFrom + std::chrono::milliseconds(stall_);
                if (stall_ > 0 && Steady::now() >= stallFrom && Steady::now() < stallTo)
                    due = stallTo + delay;
                held.push_back({due, fromHost ? guest : host, {buffer, buffer + got}});
            }
            std::erase_if(held, [&](const Held& h) {
                if (h.due > Steady::now()) return false;
                ::sendto(socket_, h.bytes.data(), h.bytes.size(), 0,
                         reinterpret_cast<const sockaddr*>(&h.to), sizeof h.to);
                return true;
            });
        }
    }
    int stallAt_;
    int stall_;
    int socket_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Both peers after they ended, and how many datagrams the relay between them lost.
struct Played {
    Result host, guest;
    int dropped = 0;
};

// Hosts on a port the system picks and joins it, directly or through a relay over `link`;
// `guestArgs` come after the shared `args`, so the guest's own win.
Played play(const std::string& name, const std::string& args, std::optional<Link> link,
            const char* hostInput = hostScript, const char* guestInput = guestScript,
            const std::string& guestArgs = "", int exitCode = 0) {
    Running host = start(name + "_host", hostInput, "--host 0 " + args);
    int port = portOf(host);
    EXPECT_GT(port, 0) << host.errors();
    std::optional<LossyRelay> relay;
    if (link) relay.emplace(port, *link);
    Running guest = start(name + "_guest", guestInput,
                          "--join 127.0.0.1:" + std::to_string(relay ? relay->port : port) + " " +
                              args + " " + guestArgs);
    Result guestEnded = ended(guest, exitCode);
    return {ended(host, exitCode), guestEnded, relay ? relay->dropped.load() : 0};
}

}  // namespace

TEST(NetPlay, LostDelayedAndReorderedPacketsStillGiveTheSameGame) {
    auto [host, guest, dropped] =
        play("lossy", "--frames 900 --net-mode lockstep --net-delay 3", Link{10, 0, 25});
    std::string trace = traceOf(host);
    EXPECT_EQ(trace, traceOf(guest));
    EXPECT_NE(trace.find("\"event\":\"pickup\",\"player\":1"), std::string::npos)
        << "the guest's player takes a ball";
    EXPECT_NE(trace.find("\"event\":\"pickup\",\"player\":0"), std::string::npos) << trace;
    EXPECT_GT(dropped, 0) << "the relay really lost packets";
}

// What a peer says of its network game at the end: how often and when it last waited.
struct NetReport {
    int waits = -1;
    int lateWaits = -1;  // after the first second
    int firstLateWait = 0;
    int lastLateWait = 0;
    int rollbacks = 0;
    int slowdowns = 0;
};

NetReport reportOf(const Result& peer) {
    NetReport r;
    size_t at = peer.errors.find("network game: waited ");
    if (at != std::string::npos)
        std::sscanf(peer.errors.c_str() + at,
                    "network game: waited %d times, %d of them after the first second (frames %d "
                    "to %d; the longest wait %*d ms), %d rollbacks (the longest %*d frames), "
                    "slowed down %d",
                    &r.waits, &r.lateWaits, &r.firstLateWait, &r.lastLateWait, &r.rollbacks,
                    &r.slowdowns);
    return r;
}

// Into play quickly: the title skipped, a two-player game started; both players run to the
// supplies and throw.
const char* const quickHost =
    "290 tap SPACE\n300 tap RSHIFT\n500 key LEFT down\n517 key LEFT up\n"
    "540 key RSHIFT down\n";
const char* const quickGuest = "500 key RIGHT down\n523 key RIGHT up\n540 key RSHIFT down\n";

TEST(NetPlay, RollbackThroughAFairConnectionNeverWaitsAndBothConfirmTheSameGame) {
    // 100 ms round trip, 30 ms of jitter, 5% of the packets lost; frames in real time.
    auto [host, guest, dropped] = play("fair", "--frames 660 --pace 100 --record @DIR@/run.replay",
                                       Link{5, 35, 65}, quickHost, quickGuest);
    std::string trace = traceOf(host);
    EXPECT_EQ(trace, traceOf(guest));
    EXPECT_NE(trace.find("\"event\":\"throw\",\"player\":1"), std::string::npos) << trace;
    EXPECT_NE(trace.find("\"event\":\"end\""), std::string::npos);
    for (const Result* p : {&host, &guest}) {
        // The first frames may wait for the other machine to get going.
        EXPECT_EQ(reportOf(*p).lateWaits, 0) << p->errors;
    }
    EXPECT_GT(reportOf(host).rollbacks + reportOf(guest).rollbacks, 0)
        << "the other player's input was predicted, and put right";
    EXPECT_GT(dropped, 0);
    // Both recorded that game, and it plays back the same alone, every frame rolled back 8
    // frames and stepped again.
    EXPECT_EQ(readText(host.dir + "/run.replay"), readText(guest.dir + "/run.replay"));
    Result replay =
        ended(start("fair_replay", "", "--sync-test 8 --replay '" + guest.dir + "/run.replay'"));
    EXPECT_EQ(traceOf(replay), trace);
}

TEST(NetPlay, RollbackThroughASlowConnectionWaitsOnlyAtTheEndOfItsPredictionAndGoesOn) {
    // 250 ms round trip with jitter still fits the prediction window; then, in play, the
    // connection stands still for 700 ms, far beyond it: both wait, say so, and go on.
    auto [host, guest, dropped] = play("slow", "--frames 600 --pace 100 --net-delay 0",
                                       Link{5, 110, 140, 14000, 700}, quickHost, quickGuest);
    EXPECT_EQ(traceOf(host), traceOf(guest));
    for (const Result* p : {&host, &guest}) {
        EXPECT_NE(traceOf(*p).find("\"frame\":600,\"event\":\"end\""), std::string::npos);
        NetReport r = reportOf(*p);
        // Only the stall made it wait (14 s in: about frame 420), and only for a few frames.
        EXPECT_GE(r.lateWaits, 1) << p->errors;
        EXPECT_GE(r.firstLateWait, 300) << p->errors;
        EXPECT_LE(r.lastLateWait, 500) << p->errors;
    }
}

TEST(NetPlay, AMachineWithASlowClockDoesNotStallTheGameAfterTheFirstSecond) {
    // The guest's frames last 2% longer; the host slows down by single frames to match.
    auto [host, guest, dropped] =
        play("clock", "--frames 600 --pace 100", std::nullopt, "", "", "--pace 98");
    EXPECT_EQ(traceOf(host), traceOf(guest));
    for (const Result* p : {&host, &guest}) EXPECT_EQ(reportOf(*p).lateWaits, 0) << p->errors;
    NetReport h = reportOf(host);
    EXPECT_GE(h.slowdowns, 3) << "about one frame in fifty";
    EXPECT_LE(h.slowdowns, 600 / 10);
}

TEST(NetPlay, TheGuestTypesItsRecordsNameAndBothMachinesKeepIt) {
    // Only the guest's player scores (a new two-player record). In the name entry the host's
    // letters must not get in; the guest's Shift+A, B and Return must.
    const char* host = "400 tap RSHIFT\n1722 tap Z\n1732 tap Q\n1760 tap RETURN\n";
    const char* guest =
        "600 key LEFT down\n627 key LEFT up\n640 key RSHIFT down\n1700 key RSHIFT up\n"
        "1720 key LSHIFT down\n1722 tap A\n1726 key LSHIFT up\n1732 tap B\n1745 tap RETURN\n";
    Played peers = play("record", "--frames 1800 --net-delay 2", std::nullopt, host, guest);
    EXPECT_EQ(traceOf(peers.host), traceOf(peers.guest));
    for (const Result& p : {peers.host, peers.guest}) {
        std::string file = readText(p.saveDir() + "/gx.raw"), twoPlayers;
        ASSERT_EQ(file.size(), 42u) << traceOf(p);
        for (size_t i = 14; i < 28; ++i) twoPlayers += static_cast<char>(~file[i]);
        EXPECT_EQ(twoPlayers, std::string("Ab\0\0\0\0\0\0"
                                          "200\0\0\0",
                                          14))
            << p.dir;
    }
}

TEST(NetPlay, APeerKilledMidGameSendsTheOtherBackWithinTenSeconds) {
    Running host = start("killed_host", hostScript, "--host 0 --frames 2000000");
    int port = portOf(host);
    ASSERT_GT(port, 0);
    Running guest = start("killed_guest", guestScript,
                          "--join 127.0.0.1:" + std::to_string(port) + " --frames 2000000");
    ASSERT_TRUE(guest.says("joined the game", 30000));
    usleep(500000);
    kill(guest.pid, SIGKILL);
    screen_run::finish(guest);
    auto killed = Steady::now();
    Result hostEnded = screen_run::finish(host, 30000);
    EXPECT_EQ(hostEnded.exitCode, 0);
    EXPECT_LE(Steady::now() - killed, std::chrono::seconds(15))
        << "ten seconds without input, plus a loaded machine's slack";
    EXPECT_NE(hostEnded.errors.find("network game over"), std::string::npos) << hostEnded.errors;
    EXPECT_NE(traceOf(hostEnded).find("\"event\":\"end\""), std::string::npos)
        << "the trace is closed properly";
}

TEST(NetPlay, DifferentDataFilesAreRefusedOnBothSides) {
    // The guest's data: the same files, but one picture changed by one byte.
    fs::path data = screen_run::scratchDir("_other_data");
    for (const auto& entry : fs::recursive_directory_iterator(PARAPET_DATA_DIR)) {
        fs::path relative = fs::relative(entry.path(), PARAPET_DATA_DIR);
        if (entry.is_directory()) {
            fs::create_directories(data / relative);
        } else if (relative.generic_string() == "g/Ball_384x16-16x16.raw") {
            fs::copy_file(entry.path(), data / relative);
            std::fstream(data / relative, std::ios::in | std::ios::out | std::ios::binary)
                .seekp(100)
                .put('\x55');
        } else {
            fs::create_symlink(entry.path(), data / relative);
        }
    }
    // --data given twice: the later one wins, as with any option.
    Played peers =
        play("mismatch", "--frames 500", std::nullopt, "", "", "--data '" + data.string() + "'", 2);
    for (const Result& p : {peers.host, peers.guest})
        EXPECT_NE(p.errors.find("refused the game: the data files differ"), std::string::npos)
            << p.errors;
}

// The world a peer's network game ended with, as it says at the end.
std::string finalWorld(const Result& peer) {
    size_t at = peer.errors.find("hashes to ");
    return at == std::string::npos ? "none" : peer.errors.substr(at + 10, 16);
}

TEST(NetPlay, ThreeMachinesThroughFairConnectionsNeverWaitAndConfirmTheSameGame) {
    // Each guest has its own 100 ms round trip to the host, 30 ms of jitter and 5% loss; what
    // one guest does reaches the other through the host. Three players stand closer together:
    // player 1 runs to the left supply, player 3 to the right one, and player 2 after him
    // (at the same supply the lower number takes the ball).
    const std::string game = " --frames 760 --pace 100";
    const char* const first3 =
        "290 tap SPACE\n300 tap RSHIFT\n500 key LEFT down\n512 key LEFT up\n540 key RSHIFT down\n";
    const char* const second3 = "620 key RIGHT down\n648 key RIGHT up\n650 key RSHIFT down\n";
    const char* const third3 = "500 key RIGHT down\n518 key RIGHT up\n540 key RSHIFT down\n";
    Running host = start("three_host", first3, "--host 0 --machines 3" + game);
    int port = portOf(host);
    ASSERT_GT(port, 0) << host.errors();
    LossyRelay toFirst(port, Link{5, 35, 65}), toSecond(port, Link{5, 35, 65});
    Running first =
        start("three_first", second3, "--join 127.0.0.1:" + std::to_string(toFirst.port) + game);
    // Places go in the order of joining.
    ASSERT_TRUE(host.says("player 2 joined", 30000)) << host.errors();
    Running second =
        start("three_second", third3, "--join 127.0.0.1:" + std::to_string(toSecond.port) + game);
    const Result peers[] = {ended(host), ended(first), ended(second)};
    std::string trace = traceOf(peers[0]);
    for (const char* player : {"0", "1", "2"})
        EXPECT_NE(trace.find(std::string("\"event\":\"throw\",\"player\":") + player),
                  std::string::npos)
            << "player " << player << " plays from his own machine\n"
            << trace;
    for (const Result& p : peers) {
        EXPECT_EQ(traceOf(p), trace);
        EXPECT_EQ(reportOf(p).lateWaits, 0) << p.errors;
        EXPECT_EQ(finalWorld(p), finalWorld(peers[0])) << p.errors;
    }
    EXPECT_NE(finalWorld(peers[0]), "none") << peers[0].errors;
    EXPECT_GT(toFirst.dropped + toSecond.dropped, 0);
}

TEST(NetPlay, SpectatorsWatchFromTheStartOrJoinLateAndEndWithThePlayersWorld) {
    // Four times real speed: frame 1,000 comes after about eight seconds.
    const std::string game = " --frames 1500 --pace 400";
    Running host = start("watched_host", quickHost, "--host 0" + game);
    int port = portOf(host);
    ASSERT_GT(port, 0) << host.errors();
    std::string at = "--spectate 127.0.0.1:" + std::to_string(port);
    std::vector<Running> early;
    for (int i = 0; i < 3; ++i) early.push_back(start("watched_early" + std::to_string(i), "", at));
    ASSERT_TRUE(host.says("a spectator watches", 30000));
    Running guest =
        start("watched_guest", quickGuest, "--join 127.0.0.1:" + std::to_string(port) + game);
    ASSERT_TRUE(guest.says("joined the game", 30000)) << guest.errors();
    usleep(1000 * 1000 / 4 * 33);  // about frame 1,000
    Running late = start("watched_late", "", at);
    ASSERT_TRUE(late.says("watching the game from frame", 30000)) << late.errors();
    Result fifth = ended(start("watched_fifth", "", at), 2);
    EXPECT_NE(fifth.errors.find("already has 4 spectators"), std::string::npos) << fifth.errors;
    const Result guestEnded = ended(guest), hostEnded = ended(host), lateEnded = ended(late);
    std::vector<Result> watched;
    for (const Running& p : early) watched.push_back(ended(p));
    int joinedAt = std::atoi(lateEnded.errors.c_str() + lateEnded.errors.find("from frame ") + 11);
    EXPECT_GT(joinedAt, 300) << "joined a game long under way";
    EXPECT_LT(joinedAt, 1400);
    std::string world = finalWorld(hostEnded);
    EXPECT_NE(world, "none") << hostEnded.errors;
    EXPECT_EQ(finalWorld(guestEnded), world);
    EXPECT_NE(lateEnded.errors.find("after frame 1500 hashes to " + world), std::string::npos)
        << lateEnded.errors;
    for (const Result& p : watched) EXPECT_EQ(finalWorld(p), world) << p.errors;
    // What a spectator there from the start saw is the players' game, event for event.
    EXPECT_EQ(traceOf(watched[0]), traceOf(hostEnded));
    EXPECT_FALSE(fs::exists(lateEnded.saveDir() + "/gx.raw")) << "a spectator saves no records";
}
