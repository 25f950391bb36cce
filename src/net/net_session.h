#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "input/frame_input.h"
#include "net/enet_link.h"
#include "net/input_merge.h"
#include "net/lockstep.h"
#include "net/net_packet.h"
#include "net/rollback.h"

namespace net {

// The port a host listens on when none is given.
constexpr uint16_t defaultPort = 24642;
// How often both machines compare their game state.
constexpr uint32_t hashInterval = 30;

struct SessionSettings {
    bool hosting = true;
    bool spectating = false;  // with hosting false: watch the game rather than play in it
    int machines = 2;         // host: how many machines play (2 or 3)
    std::string hostName;     // guest: where to connect
    std::string bindAddress;  // host: the one address to listen on; empty: all of them
    uint16_t port = defaultPort;
    Hello hello;                        // what this machine tells the other
    uint32_t connectTimeoutMs = 10000;  // 0: wait for a guest for ever
    uint32_t giveUpMs = 10000;          // no input from the peer for this long ends the game
    uint32_t waitingTextMs = 500;       // ... and for this long shows that we wait
    uint32_t settleMs = 3000;           // at the end, how long to wait for the last inputs
};

// How a network game went, for the players' report at its end.
struct SessionReport {
    int waits = 0;  // frames that waited for the other machine
    // ... after the first second (the machines' start is never quite at once): how many, and
    // the first and last frame that did
    int lateWaits = 0;
    int firstLateWait = 0;
    int lastLateWait = 0;
    int longestWaitMs = 0;
    int rollbacks = 0;
    int longestRollback = 0;  // frames
    int slowdowns = 0;        // frames slowed down to keep in time with the other machine
};

// Why a network game ended.
enum class SessionEnd { none, peerLeft, lost, desync, badPacket, refused, cancelled };

// The machines running one game: the handshake, then each frame's input exchange and the
// regular comparison of the game state. The host is the hub: each guest talks to it alone, and
// it forwards every player's input to every guest, and the confirmed input to the spectators.
// Knows nothing of the game beyond a hash, a world's bytes and the input commands; the frame
// loop asks it for each frame's commands.
class NetSession {
public:
    // While the peer's input is late: called about every 50 ms after waitingTextMs; return
    // false to give up (the window was closed).
    std::function<bool()> onWaiting;
    // Between polls while connecting; return false to give up.
    std::function<bool()> keepConnecting;
    // The host's port once it listens (tests listen on port 0 and read it from here).
    std::function<void(uint16_t port)> onListening;
    // Host, once every player's machine greeted: the game's record table from this machine's
    // (in `table`, a 42-byte image, to be changed) and the guests' greetings.
    std::function<void(const std::vector<Hello>& guests, uint8_t* table)> agreeTables;
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

    // Rollback (when the game's mode is rollback; start() made it).
    Rollback* rollback() { return rollback_.get(); }
    // Before frame `frame` runs: sends this machine's input (`local`, read now), takes what
    // arrived, waits while the prediction window is used up, and brings the world in play up to
    // date (Rollback::prepare). False when the game cannot go on.
    bool prepareFrame(uint32_t frame, const FrameInput& local, FrameInput& input);
    // Time sync: true when this machine runs ahead and the frame just run should last one
    // frame longer. Never twice within ten frames.
    bool slowDown(uint32_t frame);
    // The game on this machine ends after `lastFrame`: waits a little for the other machine's
    // input of the frames run, so that as many as possible end confirmed on both, then
    // catches up. Afterwards finish().
    void settle(uint32_t lastFrame);
    const SessionReport& report() const { return report_; }

    // Host: spectators that greeted and wait for the world to start from.
    bool spectatorsWaiting() const;
    // Host: the world after confirmed frame `frame` (its bytes and hash) to every spectator that
    // waits for one; they are sent every confirmed frame after it.
    void sendWorld(uint32_t frame, const std::vector<uint8_t>& bytes, uint64_t hash);
    // Host: the input of the next confirmed frame, for the spectators that watch.
    void sendConfirmed(uint32_t frame, const FrameInput& input);
    // Host: what sendConfirmed gathered goes out now.
    void flushSpectators();
    int spectators() const;

    // Guest: the record table every machine plays with (a 42-byte image).
    const uint8_t* agreedTable() const { return table_; }

    // Spectator: after start(), the world the host sent to start from, and the frame after
    // which it stands.
    const std::vector<uint8_t>& startWorld() const { return world_; }
    uint32_t startWorldFrame() const { return worldFrame_; }
    uint64_t startWorldHash() const { return worldHash_; }
    // Spectator: the input of frame `frame` as the players confirmed it; waits for it when it
    // is not here yet. False when the game cannot go on (the host ended it, or left).
    bool watchFrame(uint32_t frame, FrameInput& input);

    SessionEnd end() const { return end_; }
    const std::string& message() const { return message_; }
    // For the log after a desync: the hashes each side had.
    uint64_t localHashAtDesync() const { return desyncLocal_; }
    uint64_t remoteHashAtDesync() const { return desyncRemote_; }
    int delay() const { return mode_ == Mode::rollback ? localDelay_ : buffer_.delay(); }
    Mode mode() const { return mode_; }
    int machines() const { return machines_; }
    // This machine's place in the game (0: the host).
    int slot() const { return slot_; }

private:
    static constexpr int hashSlots = 8;
    static constexpr int leadSamples = 16;
    // Another machine, as this one sees it: the host for a guest or spectator; a guest, a
    // spectator or a connection that has not greeted yet for the host.
    struct Remote {
        enum class Kind { none, pending, host, guest, spectator };
        Kind kind = Kind::none;
        int slot = 0;  // a guest's place, the host's 0
        int delay = 0;
        std::chrono::steady_clock::time_point since{};  // pending: connected then
        uint32_t ack[maxMachines] = {};  // what it has of each machine's input, as far as we know
        uint32_t running = 0;            // the frame it ran last we heard
        int lead = 0;                    // how far ahead of us it sees itself
        int leadSum = 0;
        int leadCount = 0;
        uint32_t hashFrame[hashSlots] = {};
        uint64_t hash[hashSlots] = {};
        bool watching = false;  // a spectator that has its world
        Hello hello;            // a guest's greeting
        bool player() const { return kind == Kind::host || kind == Kind::guest; }
    };

    enum class Greeting { greeted, junk, failed };
    // The host's greeting. `junk` (with the reason) is a connection that sent something else,
    // nothing or left.
    Greeting awaitGreeting(Hello& peer, std::string& junk);
    bool awaitStart();
    bool awaitWorld();
    void dropJunk(int peer, const std::string& why);
    // A farewell that says why; refuse() then lets the connection go once it is sent,
    // dropBadPeer() (after a packet no machine playing by the rules sends) at once.
    void sayBye(int peer, ByeReason reason);
    void refuse(int peer, ByeReason reason);
    void dropBadPeer(int peer);
    bool fail(SessionEnd end, const std::string& message);
    bool waitForEvent(uint32_t timeoutMs, EnetLink::Event& event);
    // Takes what already arrived, then waits until `ready` holds, calling `eachTurn` while
    // it does not. Gives up after giveUpMs without it (`missing` says what was missing) and
    // asks onWaiting after waitingTextMs (`leaving` says what a refusal means).
    bool waitUntil(const std::function<bool()>& ready, const char* missing, const char* leaving,
                   uint32_t pollMs, const std::function<void()>& eachTurn = {});
    bool handlePacket();
    bool greet(int from, const Packet& p);
    bool handleSpectatorPacket(int from, const Packet* p);
    void dropOldPending();
    bool compareHashes(uint32_t frame);
    bool takeBatch(Remote& from, const InputBatch& batch, std::string& error);
    void sendInputs(uint32_t runningFrame);
    void sendBatch(int peer, int slot, uint32_t runningFrame);
    int guestsGreeted() const;
    // Sends `bytes` reliably to every connected machine that plays.
    void sendToPlayers(const std::vector<uint8_t>& bytes);
    void sendToAll(const std::vector<uint8_t>& bytes);
    // A player's machine (the lockstep peer; a guest's host).
    int firstPlayer() const;
    std::string waitingFor() const;

    SessionSettings settings_;
    EnetLink link_;
    LockstepBuffer buffer_{2};
    Role role_ = Role::host;
    Remote remotes_[EnetLink::maxPeers];
    int machines_ = 2;
    int slot_ = 0;
    EnetLink::Received packet_;
    bool playing_ = false;  // greeted: from here on a farewell is owed
    bool started_ = false;  // guest: the host said the game begins
    bool peerGone_ = false;
    std::string peerGoneMessage_;
    SessionEnd end_ = SessionEnd::none;
    std::string message_;
    uint32_t localHashFrame_[hashSlots] = {};
    uint64_t localHash_[hashSlots] = {};
    uint64_t desyncLocal_ = 0;
    uint64_t desyncRemote_ = 0;

    Mode mode_ = Mode::lockstep;
    int localDelay_ = 0;
    std::unique_ptr<Rollback> rollback_;
    uint32_t running_ = 0;
    uint32_t lastSlowdown_ = 0;
    int otherDelays_[maxMachines] = {};  // guest: every machine's delay, as the host said
    Hello greeting_;
    uint8_t table_[highscoreImageSize] = {};  // what the host answers a guest or spectator

    // Spectating: the world to start from and the confirmed input after it.
    std::vector<uint8_t> world_;
    uint32_t worldFrame_ = 0;
    uint64_t worldHash_ = 0;
    uint32_t worldTotal_ = 0;
    bool worldWhole_ = false;
    static constexpr size_t maxWatchedFrames = 30 * 60 * 10;
    std::vector<FrameInput> watched_;  // frames watchedFirst_ on
    uint32_t watchedFirst_ = 1;
    size_t watchedNext_ = 0;
    // Host: confirmed input not yet sent to the spectators.
    ConfirmedInputs forSpectators_;
    SessionReport report_;
    static constexpr int reportedBadGreetingsPerMinute = 5;
    std::chrono::steady_clock::time_point badGreetingMinute_{};
    int badGreetingsThisMinute_ = 0;
};

// The differences between two greetings that stop a game, as one sentence; empty when none.
std::string greetingMismatch(const Hello& mine, const Hello& theirs);

}  // namespace net
