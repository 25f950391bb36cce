// Two real parapets playing one game over loopback. Each runs its own input script; lockstep
// means both must run exactly the same game, whatever the network does to the packets.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "net/peer_run.h"

namespace fs = std::filesystem;
using peer_run::Peer;

namespace {

// The host starts a two-player game from the menu and sends player 1 left to the ball supply;
// the guest, with its own player-1 keys, sends player 2 right to the other supply. Both hold
// fire, so whoever picks a ball up throws it.
const char* const hostScript =
    "400 tap RSHIFT\n"
    "600 key LEFT down\n"
    "617 key LEFT up\n"
    "640 key RSHIFT down\n";
const char* const guestScript =
    "600 key RIGHT down\n"
    "623 key RIGHT up\n"
    "640 key RSHIFT down\n";

constexpr int generousMs = 120000;  // a loaded two-core machine may run both peers slowly

std::string freshDir(const std::string& name) {
    fs::path dir = fs::path(testing::TempDir()) / ("net_" + std::to_string(::getpid()) + "_" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

struct Game {
    Peer host;
    Peer guest;
    int hostExit = -2;
    int guestExit = -2;
};

// Hosts on a port the system picks, then joins it, directly or through `relayFor(port)`.
template <typename RelayFor>
Game play(const std::string& name, const std::string& args, RelayFor relayFor,
          const char* hostInput = hostScript, const char* guestInput = guestScript) {
    Game g;
    g.host = peer_run::start(freshDir(name + "_host"), hostInput, "--host 0 " + args);
    int port = peer_run::hostPort(g.host, 30000);
    EXPECT_GT(port, 0) << peer_run::readFile(g.host.dir + "/stderr.txt");
    int joinPort = relayFor(port);
    g.guest = peer_run::start(freshDir(name + "_guest"), guestInput,
                              "--join 127.0.0.1:" + std::to_string(joinPort) + " " + args);
    g.guestExit = peer_run::wait(g.guest, generousMs);
    g.hostExit = peer_run::wait(g.host, generousMs);
    return g;
}

void expectSameGameWithTheGuestPlaying(const Game& g) {
    ASSERT_EQ(g.hostExit, 0) << peer_run::readFile(g.host.dir + "/stderr.txt");
    ASSERT_EQ(g.guestExit, 0) << peer_run::readFile(g.guest.dir + "/stderr.txt");
    std::string hostTrace = peer_run::comparableTrace(g.host);
    std::string guestTrace = peer_run::comparableTrace(g.guest);
    EXPECT_EQ(hostTrace, guestTrace);
    EXPECT_NE(hostTrace.find("\"event\":\"pickup\",\"player\":1"), std::string::npos)
        << "the guest's player takes a ball:\n" << hostTrace;
    EXPECT_NE(hostTrace.find("\"event\":\"pickup\",\"player\":0"), std::string::npos);
}

}  // namespace

TEST(NetPlay, TwoMachinesPlayOneGameEventForEvent) {
    Game g = play("direct", "--frames 1200", [](int port) { return port; });
    expectSameGameWithTheGuestPlaying(g);
}

TEST(NetPlay, LostDelayedAndReorderedPacketsStillGiveTheSameGame) {
    std::unique_ptr<peer_run::LossyRelay> relay;
    Game g = play("lossy", "--frames 900 --net-delay 3", [&](int port) {
        relay = std::make_unique<peer_run::LossyRelay>(port, 10, 25, 1234);
        return relay->port();
    });
    expectSameGameWithTheGuestPlaying(g);
    EXPECT_GT(relay->dropped(), 0) << "the relay really lost packets";
}

TEST(NetPlay, TheGuestTypesItsRecordsNameAndBothMachinesKeepIt) {
    // Only the guest's player scores (a new two-player record); in the name entry the host's
    // letters must not get in, the guest's Shift+A, B and Return must.
    const char* host = "400 tap RSHIFT\n1722 tap Z\n1732 tap Q\n1760 tap RETURN\n";
    const char* guest =
        "600 key LEFT down\n627 key LEFT up\n640 key RSHIFT down\n1700 key RSHIFT up\n"
        "1720 key LSHIFT down\n1722 tap A\n1726 key LSHIFT up\n1732 tap B\n1745 tap RETURN\n";
    Game g = play("record", "--frames 1800", [](int port) { return port; }, host, guest);
    ASSERT_EQ(g.hostExit, 0);
    ASSERT_EQ(g.guestExit, 0);
    EXPECT_EQ(peer_run::comparableTrace(g.host), peer_run::comparableTrace(g.guest));
    for (const Peer* p : {&g.host, &g.guest}) {
        std::string file = peer_run::readFile(p->dir + "/save/gx.raw");
        ASSERT_EQ(file.size(), 42u) << p->dir << "\n" << peer_run::comparableTrace(*p);
        std::string twoPlayers;
        for (size_t i = 14; i < 28; ++i) twoPlayers += static_cast<char>(~file[i]);
        EXPECT_EQ(twoPlayers, std::string("Ab\0\0\0\0\0\0" "200\0\0\0", 14)) << p->dir;
    }
}

TEST(NetPlay, APeerKilledMidGameSendsTheOtherBackWithinTenSeconds) {
    Peer host = peer_run::start(freshDir("killed_host"), hostScript, "--host 0 --frames 2000000");
    int port = peer_run::hostPort(host, 30000);
    ASSERT_GT(port, 0);
    Peer guest = peer_run::start(freshDir("killed_guest"), guestScript,
                                 "--join 127.0.0.1:" + std::to_string(port) + " --frames 2000000");
    ASSERT_TRUE(peer_run::waitForText(guest, "joined the game", 30000));
    usleep(500000);
    kill(guest.pid, SIGKILL);
    peer_run::wait(guest, generousMs);
    auto killed = std::chrono::steady_clock::now();
    EXPECT_EQ(peer_run::wait(host, 30000), 0);
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::steady_clock::now() - killed).count();
    EXPECT_LE(seconds, 15) << "ten seconds without input, plus a loaded machine's slack";
    std::string errors = peer_run::readFile(host.dir + "/stderr.txt");
    EXPECT_NE(errors.find("network game over"), std::string::npos) << errors;
    std::string trace = peer_run::readFile(host.dir + "/trace.jsonl");
    EXPECT_NE(trace.find("\"event\":\"end\""), std::string::npos) << "the trace is closed properly";
}

TEST(NetPlay, DifferentDataFilesAreRefusedOnBothSides) {
    // The guest's data: the same files, but one picture changed by one byte.
    std::string data = freshDir("other_data");
    for (const auto& entry : fs::recursive_directory_iterator(PARAPET_DATA_DIR)) {
        fs::path relative = fs::relative(entry.path(), PARAPET_DATA_DIR);
        if (entry.is_directory()) {
            fs::create_directories(fs::path(data) / relative);
        } else if (relative.generic_string() == "g/Ball_384x16-16x16.raw") {
            fs::copy_file(entry.path(), fs::path(data) / relative);
            std::fstream f(fs::path(data) / relative, std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(100);
            f.put('\x55');
        } else {
            fs::create_symlink(entry.path(), fs::path(data) / relative);
        }
    }
    Peer host = peer_run::start(freshDir("mismatch_host"), "", "--host 0 --frames 500");
    int port = peer_run::hostPort(host, 30000);
    ASSERT_GT(port, 0);
    // --data given twice: the later one wins, as with any option.
    Peer guest = peer_run::start(freshDir("mismatch_guest"), "",
                                 "--join 127.0.0.1:" + std::to_string(port) + " --data '" + data + "'");
    EXPECT_EQ(peer_run::wait(guest, generousMs), 2);
    EXPECT_EQ(peer_run::wait(host, generousMs), 2);
    for (const Peer* p : {&host, &guest}) {
        std::string errors = peer_run::readFile(p->dir + "/stderr.txt");
        EXPECT_NE(errors.find("refused the game: the data files differ"), std::string::npos) << errors;
    }
}
