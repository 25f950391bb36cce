#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "input/frame_input.h"

// What the machines of one game say to each other: the host to each guest and spectator, and
// each of them to the host. Every packet starts with its type byte; multi-byte
// numbers are little-endian. Decoding never trusts a length or a value it has not checked,
// so a hostile or broken peer can only get its connection dropped.

namespace net {

enum class PacketType : uint8_t {
    hello = 1,
    input = 2,
    stateHash = 3,
    bye = 4,
    inputs = 5,
    start = 6,
    confirmed = 7,
    worldPart = 8,
};

constexpr uint16_t protocolVersion = 4;
// The host and up to two guests play; up to four more machines watch.
constexpr int maxMachines = 3;
constexpr int maxSpectators = 4;
constexpr size_t maxVersionLength = 31;
constexpr int minDelay = 0;
constexpr int maxDelay = 8;
// Lockstep needs a frame of delay at least; rollback predicts, so a key may act at once, and
// more than a few frames of delay would only hide what rollback is for.
constexpr int minLockstepDelay = 1;
constexpr int maxRollbackDelay = 4;
// The most frames one inputs packet carries: far more than ever go unacknowledged while both
// machines play, and small enough for one datagram.
constexpr int maxBatchFrames = 24;
constexpr size_t highscoreImageSize = 42;
// Frames are counted from 1; a game longer than this is not a game.
constexpr uint32_t maxFrame = 0x7FFFFFF0u;

enum class Role : uint8_t { host = 0, guest = 1, spectator = 2 };
// How the two machines share the game's input: lockstep waits for every input of a frame;
// rollback predicts the other machine's and corrects the game when the real input differs.
enum class Mode : uint8_t { lockstep = 0, rollback = 1 };

// Sent by a guest or spectator on connecting, and by the host in answer. The host's start tick,
// mode and minimum player count are the game's; the others' are ignored. Version and data hash
// must match. In lockstep the host's delay is the game's; in rollback each machine keeps its
// own. The host's answer to a guest names the guest's place (`slot`: 1 or 2, whose player it
// plays); everybody else sends 0.
struct Hello {
    Role role = Role::host;
    std::string version;  // printable ASCII, at most maxVersionLength
    uint64_t dataHash = 0;
    uint32_t startTick = 0;
    uint8_t slot = 0;
    Mode mode = Mode::rollback;
    uint8_t delay = 1;
    uint8_t minPlayers = 2;
    uint8_t highscores[highscoreImageSize] = {};
};

// What a machine's players did in one frame, through that machine's own key bindings: its
// player 1 and the third controller (nothing changed must still arrive).
struct InputFrame {
    uint32_t frame = 0;
    PlayerInput first;
    PlayerInput third;
};

// Rollback: every input of one machine (`slot`) that the receiver has not acknowledged yet
// (frames `first` on, consecutive), what the sender has of the receiver's own input (`ack`:
// every frame up to it) and of the third machine's (`otherAck`; a guest tells the host about
// the other guest, 0 in a game of two), and the frame the sender is running, for time sync. A
// guest sends its own input; the host its own and, forwarded, the other guest's. Sent
// unreliably: the next packet says it all again.
struct InputBatch {
    uint32_t ack = 0;
    uint32_t runningFrame = 0;
    int8_t lead = 0;  // how many frames the sender sees itself ahead of us
    uint32_t first = 1;
    uint8_t count = 0;
    InputFrame frames[maxBatchFrames];
    uint8_t slot = 0;
    uint32_t otherAck = 0;
};

// The host to its guests once every player's machine is there: the game begins, this many
// machines play, each with its own input delay, and all judge records against one table (the
// better records of every machine's).
struct Start {
    uint8_t machines = 2;
    uint8_t delays[maxMachines] = {};
    uint8_t highscores[highscoreImageSize] = {};
};

// The host to a spectator: the input of confirmed frames, every player's, in order. Sent on
// the reliable channel: a spectator may fall behind, the players never wait for it.
struct ConfirmedInputs {
    uint32_t first = 1;
    uint8_t count = 0;
    PlayerInput players[maxBatchFrames][maxMachines];
};

// The host to a spectator that joined late: the world after confirmed frame `frame`, in
// pieces in order, and its hash, which the spectator checks once the last piece is in.
constexpr uint32_t maxWorldBytes = 4u << 20;
constexpr uint16_t maxWorldPiece = 900;
struct WorldPart {
    uint32_t frame = 0;
    uint64_t hash = 0;
    uint32_t total = 0;
    uint32_t offset = 0;
    uint16_t length = 0;
    uint8_t bytes[maxWorldPiece] = {};
};

struct StateHash {
    uint32_t frame = 0;
    uint64_t hash = 0;
};

// `full`: the game has all its players, or all the spectators it takes.
enum class ByeReason : uint8_t { quit = 0, refused = 1, desync = 2, badPacket = 3, full = 4 };

struct Bye {
    ByeReason reason = ByeReason::quit;
    uint32_t frame = 0;
};

// One decoded packet; `type` says which member is filled.
struct Packet {
    PacketType type = PacketType::bye;
    Hello hello;
    InputFrame input;
    InputBatch batch;
    StateHash stateHash;
    Bye bye;
    Start start;
    ConfirmedInputs confirmed;
    WorldPart world;
};

std::vector<uint8_t> encodeHello(const Hello& hello);
std::vector<uint8_t> encodeInput(const InputFrame& input);
std::vector<uint8_t> encodeInputBatch(const InputBatch& batch);
std::vector<uint8_t> encodeStateHash(const StateHash& hash);
std::vector<uint8_t> encodeBye(const Bye& bye);
std::vector<uint8_t> encodeStart(const Start& start);
std::vector<uint8_t> encodeConfirmed(const ConfirmedInputs& inputs);
std::vector<uint8_t> encodeWorldPart(const WorldPart& part);

// Decodes exactly `size` bytes; on failure returns false with the reason in `error` (text of
// our own, never bytes of the packet).
bool decodePacket(const uint8_t* data, size_t size, Packet& packet, std::string& error);

}  // namespace net
