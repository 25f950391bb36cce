#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/enet_link.h"
#include "input/frame_input.h"
#include "net/input_merge.h"
#include "net/lockstep.h"
#include "net/net_packet.h"

namespace net {

// The port a host listens on when none is given.
constexpr uint16_t defaultPort = 24642;
// How often both machines compare their game state.
constexpr uint32_t hashInterval = 30;

struct SessionSettings {
    bool hosting = true;
    std::string hostName;     // guest: where to connect
    std::string bindAddress;  // host: the one address to listen on; empty: all of them
    uint16_t port = defaultPort;
    Hello hello;                        // what this machine tells the other
    uint32_t connectTimeoutMs = 10000;  // 0: wait for a guest for ever
    uint32_t giveUpMs = 10000;          // no input from the peer for this long ends the game
    uint32_t waitingTextMs = 500;       // ... and for this long shows that we wait
};

// Why a network game ended.
enum class SessionEnd { none, peerLeft, lost, desync, badPacket, refused, cancelled };

// Two machines running one game: the handshake, then each frame's input exchange and the
// regular comparison of the game state. Knows nothing of the game beyond a hash and the
// input commands; the frame loop asks it for each frame's commands.
class NetSession {
public:
    // While the peer's input is late: called about every 50 ms after waitingTextMs; return
    // false to give up (the window was closed).
    std::function<bool()> onWaiting;
    // Between polls while connecting; return false to give up.
    std::function<bool()> keepConnecting;
    // The host's port once it listens (tests listen on port 0 and read it from here).
    std::function<void(uint16_t port)> onListening;
    // A line for the player while the host waits: a connection that was no Parapet guest
    // (a port scan, junk) was dropped. At most a few a minute.
    std::function<void(const std::string& line)> onNotice;

    // Connects and greets; on success `agreed` holds the game's settings (the host's) and
    // `peer` the other machine's greeting. On failure `message()` says why.
    bool start(const SessionSettings& settings, Hello& agreed, Hello& peer);

    // The input of frame `frame` of the one game both machines play. `local` is what this
    // machine's players did this frame; it is played `delay` frames later on both machines.
    // Returns false when the game cannot go on (see end() and message()).
    bool exchange(uint32_t frame, const FrameInput& local, FrameInput& merged);
    // After frame `frame` ran: compares the game state every hashInterval frames.
    bool frameDone(uint32_t frame, uint64_t stateHash);
    // Ends the game politely (the peer sees that we left, after all our input).
    void finish();

    SessionEnd end() const { return end_; }
    const std::string& message() const { return message_; }
    // For the log after a desync: the hashes each side had.
    uint64_t localHashAtDesync() const { return desyncLocal_; }
    uint64_t remoteHashAtDesync() const { return desyncRemote_; }
    int delay() const { return buffer_.delay(); }

private:
    enum class Greeting { greeted, junk, failed };
    // The other machine's greeting. `junk` (with the reason) is a connection that sent
    // something else, nothing or left; a guest has then failed, a host may wait on.
    Greeting awaitGreeting(Hello& peer, std::string& junk);
    void dropJunkGuest(const std::string& why);
    bool fail(SessionEnd end, const std::string& message);
    bool waitForEvent(uint32_t timeoutMs, EnetLink::Event& event);
    bool handlePacket();
    bool compareHashes(uint32_t frame);

    SessionSettings settings_;
    EnetLink link_;
    LockstepBuffer buffer_{2};
    Role role_ = Role::host;
    EnetLink::Received packet_;
    bool playing_ = false;  // greeted: from here on a farewell is owed
    bool peerGone_ = false;
    std::string peerGoneMessage_;
    SessionEnd end_ = SessionEnd::none;
    std::string message_;
    static constexpr int hashSlots = 8;
    uint32_t localHashFrame_[hashSlots] = {};
    uint64_t localHash_[hashSlots] = {};
    uint32_t remoteHashFrame_[hashSlots] = {};
    uint64_t remoteHash_[hashSlots] = {};
    uint64_t desyncLocal_ = 0;
    uint64_t desyncRemote_ = 0;
    static constexpr int reportedBadGreetingsPerMinute = 5;
    std::chrono::steady_clock::time_point badGreetingMinute_{};
    int badGreetingsThisMinute_ = 0;
};

// The differences between two greetings that stop a game, as one sentence; empty when none.
std::string greetingMismatch(const Hello& mine, const Hello& theirs);

}  // namespace net
