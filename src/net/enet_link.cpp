#include "net/enet_link.h"

#include <enet/enet.h>

#include <charconv>
#include <cstring>

#include "base/quote_text.h"

namespace net {

namespace {

// Channel 0 carries what must arrive, in order (greetings, hashes, farewells); channel 1 the
// rollback inputs, which each packet repeats until acknowledged, so a lost one costs nothing.
constexpr size_t channels = 2;

// enet_initialize once per program; ENet keeps no other global state.
bool initialiseEnet() {
    static bool ready = enet_initialize() == 0;
    return ready;
}

}  // namespace

EnetLink::EnetLink() = default;

EnetLink::~EnetLink() {
    for (_ENetPeer*& peer : peers_)
        if (peer != nullptr) enet_peer_reset(peer);
    if (host_ != nullptr) enet_host_destroy(host_);
}

bool EnetLink::listen(const std::string& bindAddress, uint16_t port, std::string& error) {
    if (!initialiseEnet()) {
        error = "cannot start the network library";
        return false;
    }
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = port;
    if (!bindAddress.empty() && enet_address_set_host(&address, bindAddress.c_str()) != 0) {
        error = "cannot find the address " + quoteText(bindAddress) + " to listen on";
        return false;
    }
    host_ = enet_host_create(&address, maxPeers, channels, 0, 0);
    if (host_ == nullptr) {
        error = "cannot listen on port " + std::to_string(port) +
                (bindAddress.empty() ? "" : " of " + quoteText(bindAddress)) +
                " (in use, or not an address of this machine?)";
        return false;
    }
    // ENet refuses bigger packets before they are reassembled.
    host_->maximumPacketSize = maxPacketBytes;
    ENetAddress bound;
    boundPort_ = enet_socket_get_address(host_->socket, &bound) == 0 ? bound.port : port;
    return true;
}

bool EnetLink::connect(const std::string& hostName, uint16_t port, std::string& error) {
    if (!initialiseEnet()) {
        error = "cannot start the network library";
        return false;
    }
    host_ = enet_host_create(nullptr, 1, channels, 0, 0);
    if (host_ == nullptr) {
        error = "cannot open a network socket";
        return false;
    }
    host_->maximumPacketSize = maxPacketBytes;
    ENetAddress address;
    if (enet_address_set_host(&address, hostName.c_str()) != 0) {
        error = "cannot find the machine " + quoteText(hostName);
        return false;
    }
    address.port = port;
    peers_[0] = enet_host_connect(host_, &address, channels, 0);
    if (peers_[0] == nullptr) {
        error = "cannot connect to " + quoteText(hostName);
        return false;
    }
    peers_[0]->data = nullptr;
    return true;
}

const std::string& EnetLink::peerAddress(int peer) const {
    static const std::string nobody = "?";
    return peer >= 0 && peer < maxPeers ? peerAddress_[peer] : nobody;
}

bool EnetLink::connected(int peer) const {
    return peer >= 0 && peer < maxPeers && peers_[peer] != nullptr && connected_[peer];
}

bool EnetLink::anyConnected() const {
    for (int i = 0; i < maxPeers; ++i)
        if (connected(i)) return true;
    return false;
}

EnetLink::Event EnetLink::poll(uint32_t timeoutMs, Received& data) {
    data.from = -1;
    if (host_ == nullptr) return Event::none;
    ENetEvent event;
    int got = enet_host_service(host_, &event, timeoutMs);
    if (got <= 0) return Event::none;
    int index = -1;
    for (int i = 0; i < maxPeers; ++i)
        if (peers_[i] == event.peer) index = i;
    switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (index < 0)
                for (int i = 0; i < maxPeers && index < 0; ++i)
                    if (peers_[i] == nullptr) index = i;
            if (index < 0) {
                enet_peer_reset(event.peer);
                return Event::none;
            }
            peers_[index] = event.peer;
            connected_[index] = true;
            {
                char ip[64] = "?";
                enet_address_get_host_ip(&event.peer->address, ip, sizeof ip);
                peerAddress_[index] =
                    std::string(ip) + ":" + std::to_string(event.peer->address.port);
            }
            data.from = index;
            return Event::connected;
        case ENET_EVENT_TYPE_RECEIVE:
            data.size = event.packet->dataLength <= maxPacketBytes ? event.packet->dataLength : 0;
            if (data.size > 0) std::memcpy(data.bytes, event.packet->data, data.size);
            enet_packet_destroy(event.packet);
            if (index < 0 || !connected_[index]) return Event::none;
            data.from = index;
            return Event::packet;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (index < 0) return Event::none;
            peers_[index] = nullptr;
            connected_[index] = false;
            data.from = index;
            return Event::disconnected;
        default:
            return Event::none;
    }
}

void EnetLink::send(int peer, const std::vector<uint8_t>& bytes) {
    if (!connected(peer)) return;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr) return;
    if (enet_peer_send(peers_[peer], 0, packet) != 0) enet_packet_destroy(packet);
    enet_host_flush(host_);
}

void EnetLink::sendUnreliable(int peer, const std::vector<uint8_t>& bytes) {
    if (!connected(peer)) return;
    ENetPacket* packet =
        enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_UNSEQUENCED);
    if (packet == nullptr) return;
    if (enet_peer_send(peers_[peer], 1, packet) != 0) enet_packet_destroy(packet);
    enet_host_flush(host_);
}

uint32_t EnetLink::roundTripMs(int peer) const {
    return connected(peer) ? static_cast<uint32_t>(peers_[peer]->roundTripTime) : 0;
}

void EnetLink::close(int peer, uint32_t timeoutMs) {
    if (connected(peer)) closeAndWait(peer, timeoutMs);
}

void EnetLink::closeAll(uint32_t timeoutMs) { closeAndWait(-1, timeoutMs); }

void EnetLink::closeAndWait(int peer, uint32_t timeoutMs) {
    auto closing = [peer](int i) { return peer < 0 || i == peer; };
    auto waiting = [&] {
        for (int i = 0; i < maxPeers; ++i)
            if (closing(i) && connected(i)) return true;
        return false;
    };
    for (int i = 0; i < maxPeers; ++i)
        if (closing(i) && connected(i)) enet_peer_disconnect_later(peers_[i], 0);
    ENetEvent event;
    uint32_t start = enet_time_get();
    while (waiting() && enet_time_get() - start < timeoutMs) {
        int got = enet_host_service(host_, &event, 20);
        if (got < 0) break;
        if (got == 0) continue;
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (event.type == ENET_EVENT_TYPE_DISCONNECT)
            for (int i = 0; i < maxPeers; ++i)
                if (peers_[i] == event.peer) {
                    peers_[i] = nullptr;
                    connected_[i] = false;
                }
    }
    for (int i = 0; i < maxPeers; ++i)
        if (closing(i)) drop(i);
}

void EnetLink::closeLater(int peer) {
    if (!connected(peer)) return;
    enet_peer_disconnect_later(peers_[peer], 0);
    enet_host_flush(host_);
    // Its slot stays taken until ENet says it is gone; nothing it says counts meanwhile.
    connected_[peer] = false;
}

void EnetLink::drop(int peer) {
    if (peer < 0 || peer >= maxPeers) return;
    if (peers_[peer] != nullptr) {
        enet_peer_disconnect_now(peers_[peer], 0);
        enet_host_flush(host_);
    }
    peers_[peer] = nullptr;
    connected_[peer] = false;
}

bool splitHostPort(const std::string& text, uint16_t defaultPort, std::string& host,
                   uint16_t& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        host = text;
        port = defaultPort;
        return !host.empty();
    }
    host = text.substr(0, colon);
    int value = 0;
    const char* begin = text.data() + colon + 1;
    const char* end = text.data() + text.size();
    auto [stop, failure] = std::from_chars(begin, end, value);
    if (failure != std::errc() || stop != end || value < 1 || value > 65535 || host.empty())
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

}  // namespace net
