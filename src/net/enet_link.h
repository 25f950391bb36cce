#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct _ENetHost;
struct _ENetPeer;

namespace net {

// The one connection between two machines, over ENet's reliable ordered channel. A host
// takes exactly one guest; anybody else knocking is turned away by ENet itself.
class EnetLink {
public:
    enum class Event { none, connected, packet, disconnected };
    // Larger than any packet we send. A packet's bytes are copied into a buffer of this fixed
    // size: nothing the peer says decides how much memory we take.
    static constexpr size_t maxPacketBytes = 1024;
    struct Received {
        uint8_t bytes[maxPacketBytes];
        size_t size = 0;  // 0 for a packet too large to be ours (which then fails to decode)
    };

    EnetLink();
    ~EnetLink();
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;

    // Listens on `port` (0: any free one, see boundPort()) of `address` (a name or a dotted
    // address; empty: every address of the machine).
    bool listen(const std::string& address, uint16_t port, std::string& error);
    // Starts connecting; the `connected` event says when it worked.
    bool connect(const std::string& hostName, uint16_t port, std::string& error);
    uint16_t boundPort() const { return boundPort_; }
    // The peer that connected last as "address:port", for messages (also once it left).
    const std::string& peerAddress() const { return peerAddress_; }
    bool connected() const { return peer_ != nullptr && connected_; }

    // Waits at most timeoutMs (never spinning) for one event; a packet's bytes go to `data`.
    Event poll(uint32_t timeoutMs, Received& data);
    void send(const std::vector<uint8_t>& bytes);
    // Sends what is queued and says goodbye, waiting at most timeoutMs for the peer to agree.
    void close(uint32_t timeoutMs);
    // Drops the connection at once (after a bad packet).
    void drop();

private:
    _ENetHost* host_ = nullptr;
    _ENetPeer* peer_ = nullptr;
    bool connected_ = false;
    uint16_t boundPort_ = 0;
    std::string peerAddress_;
};

// Splits "HOST[:PORT]"; false when the port is not a number in 1..65535.
bool splitHostPort(const std::string& text, uint16_t defaultPort, std::string& host,
                   uint16_t& port);

}  // namespace net
