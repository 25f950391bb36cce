#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct _ENetHost;
struct _ENetPeer;

namespace net {

// The connections of one machine of a game, over ENet: to each, a reliable ordered channel and
// an unreliable unordered one for what is repeated anyway. A host takes up to maxPeers
// connections at once (the guests, the spectators and one more to be told that the game is
// full); anybody beyond is turned away by ENet itself. A guest or spectator has one
// connection, to the host: peer 0.
class EnetLink {
public:
    enum class Event { none, connected, packet, disconnected };
    static constexpr int maxPeers = 8;
    // Larger than any packet we send. A packet's bytes are copied into a buffer of this fixed
    // size: nothing the peer says decides how much memory we take.
    static constexpr size_t maxPacketBytes = 1024;
    struct Received {
        uint8_t bytes[maxPacketBytes];
        size_t size = 0;  // 0 for a packet too large to be ours (which then fails to decode)
        int from = -1;    // the peer of the event
    };

    EnetLink();
    ~EnetLink();
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;

    // Listens on `port` (0: any free one, see boundPort()) of `address` (a name or a dotted
    // address; empty: every address of the machine).
    bool listen(const std::string& address, uint16_t port, std::string& error);
    // Starts connecting; the `connected` event of peer 0 says when it worked.
    bool connect(const std::string& hostName, uint16_t port, std::string& error);
    uint16_t boundPort() const { return boundPort_; }
    // A peer as "address:port", for messages (also once it left).
    const std::string& peerAddress(int peer) const;
    bool connected(int peer) const;
    // Any peer at all.
    bool anyConnected() const;

    // Waits at most timeoutMs (never spinning) for one event; a packet's bytes go to `data`.
    Event poll(uint32_t timeoutMs, Received& data);
    void send(int peer, const std::vector<uint8_t>& bytes);
    // May be lost, duplicated or overtaken.
    void sendUnreliable(int peer, const std::vector<uint8_t>& bytes);
    // ENet's smoothed round trip time to the peer.
    uint32_t roundTripMs(int peer) const;
    // Sends what is queued to `peer` and says goodbye, waiting at most timeoutMs for it to
    // agree; packets of others that arrive meanwhile are dropped.
    void close(int peer, uint32_t timeoutMs);
    // The same to every peer.
    void closeAll(uint32_t timeoutMs);
    // Says goodbye to `peer` after what is queued, without waiting; it is gone for us at once.
    void closeLater(int peer);
    // Drops the connection at once (after a bad packet).
    void drop(int peer);

private:
    // close() of `peer`, or closeAll() for -1: those that have not agreed in time are dropped.
    void closeAndWait(int peer, uint32_t timeoutMs);

    _ENetHost* host_ = nullptr;
    _ENetPeer* peers_[maxPeers] = {};
    bool connected_[maxPeers] = {};
    uint16_t boundPort_ = 0;
    std::string peerAddress_[maxPeers];
};

// Splits "HOST[:PORT]"; false when the port is not a number in 1..65535.
bool splitHostPort(const std::string& text, uint16_t defaultPort, std::string& host,
                   uint16_t& port);

}  // namespace net
