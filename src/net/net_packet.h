#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "input/frame_input.h"

// What two machines say to each other. Every packet starts with its type byte; multi-byte
// numbers are little-endian. Decoding never trusts a length or a value it has not checked,
// so a hostile or broken peer can only get its connection dropped.

namespace net {

enum class PacketType : uint8_t { hello = 1, input = 2, stateHash = 3, bye = 4 };

constexpr uint16_t protocolVersion = 2;
constexpr size_t maxVersionLength = 31;
constexpr int minDelay = 1;
constexpr int maxDelay = 8;
constexpr size_t highscoreImageSize = 42;
// Frames are counted from 1; a game longer than this is not a game.
constexpr uint32_t maxFrame = 0x7FFFFFF0u;

enum class Role : uint8_t { host = 0, guest = 1 };

// Sent by both sides on connecting. The host's start tick, delay and minimum player count are
// the game's; the guest's are ignored. Version and data hash must match.
struct Hello {
    Role role = Role::host;
    std::string version;  // printable ASCII, at most maxVersionLength
    uint64_t dataHash = 0;
    uint32_t startTick = 0;
    uint8_t delay = 2;
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

struct StateHash {
    uint32_t frame = 0;
    uint64_t hash = 0;
};

enum class ByeReason : uint8_t { quit = 0, refused = 1, desync = 2, badPacket = 3 };

struct Bye {
    ByeReason reason = ByeReason::quit;
    uint32_t frame = 0;
};

// One decoded packet; `type` says which member is filled.
struct Packet {
    PacketType type = PacketType::bye;
    Hello hello;
    InputFrame input;
    StateHash stateHash;
    Bye bye;
};

std::vector<uint8_t> encodeHello(const Hello& hello);
std::vector<uint8_t> encodeInput(const InputFrame& input);
std::vector<uint8_t> encodeStateHash(const StateHash& hash);
std::vector<uint8_t> encodeBye(const Bye& bye);

// Decodes exactly `size` bytes; on failure returns false with the reason in `error` (text of
// our own, never bytes of the packet).
bool decodePacket(const uint8_t* data, size_t size, Packet& packet, std::string& error);

}  // namespace net
