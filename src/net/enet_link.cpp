#include "net/enet_link.h"

#include <enet/enet.h>

#include <charconv>
#include <cstring>

#include "base/quote_text.h"

namespace net {

namespace {

constexpr size_t channels = 1;

// enet_initialize once per program; ENet keeps no other global state.
bool initialiseEnet() {
    static bool ready = enet_initialize() == 0;
    return ready;
}

}  // namespace

EnetLink::EnetLink() = default;

EnetLink::~EnetLink() {
    if (peer_ != nullptr) enet_peer_reset(peer_);
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
    host_ = enet_host_create(&address, 1, channels, 0, 0);
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
    peer_ = enet_host_connect(host_, &address, channels, 0);
    if (peer_ == nullptr) {
        error = "cannot connect to " + quoteText(hostName);
        return false;
    }
    return true;
}

EnetLink::Event EnetLink::poll(uint32_t timeoutMs, Received& data) {
    if (host_ == nullptr) return Event::none;
    ENetEvent event;
    int got = enet_host_service(host_, &event, timeoutMs);
    if (got <= 0) return Event::none;
    switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (peer_ != nullptr && peer_ != event.peer) {
                // Only one guest: a second one is sent away.
                enet_peer_reset(event.peer);
                return Event::none;
            }
            peer_ = event.peer;
            connected_ = true;
            {
                char ip[64] = "?";
                enet_address_get_host_ip(&peer_->address, ip, sizeof ip);
                peerAddress_ = std::string(ip) + ":" + std::to_string(peer_->address.port);
            }
            return Event::connected;
        case ENET_EVENT_TYPE_RECEIVE:
            data.size = event.packet->dataLength <= maxPacketBytes ? event.packet->dataLength : 0;
            if (data.size > 0) std::memcpy(data.bytes, event.packet->data, data.size);
            enet_packet_destroy(event.packet);
            if (event.peer != peer_) return Event::none;
            return Event::packet;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (event.peer != peer_) return Event::none;
            peer_ = nullptr;
            connected_ = false;
            return Event::disconnected;
        default:
            return Event::none;
    }
}

void EnetLink::send(const std::vector<uint8_t>& bytes) {
    if (!connected()) return;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr) return;
    if (enet_peer_send(peer_, 0, packet) != 0) enet_packet_destroy(packet);
    enet_host_flush(host_);
}

void EnetLink::close(uint32_t timeoutMs) {
    if (!connected()) return;
    enet_peer_disconnect_later(peer_, 0);
    ENetEvent event;
    uint32_t start = enet_time_get();
    while (enet_time_get() - start < timeoutMs) {
        int got = enet_host_service(host_, &event, 20);
        if (got < 0) break;
        if (got == 0) continue;
        if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
            peer_ = nullptr;
            connected_ = false;
            return;
        }
    }
    drop();
}

void EnetLink::drop() {
    if (peer_ != nullptr) {
        enet_peer_disconnect_now(peer_, 0);
        enet_host_flush(host_);
    }
    peer_ = nullptr;
    connected_ = false;
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
