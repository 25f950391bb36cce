// Feeds arbitrary bytes to the decoder of what the other machine sends. Whatever it accepts
// must encode back to the very same bytes: a decoder that accepts more than the encoder can
// produce has a hole a peer could use.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "net/net_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    net::Packet packet;
    std::string error;
    if (!net::decodePacket(data, size, packet, error)) return 0;
    std::vector<uint8_t> again;
    switch (packet.type) {
        case net::PacketType::hello:
            again = net::encodeHello(packet.hello);
            break;
        case net::PacketType::input:
            again = net::encodeInput(packet.input);
            break;
        case net::PacketType::inputs:
            again = net::encodeInputBatch(packet.batch);
            break;
        case net::PacketType::stateHash:
            again = net::encodeStateHash(packet.stateHash);
            break;
        case net::PacketType::bye:
            again = net::encodeBye(packet.bye);
            break;
        case net::PacketType::start:
            again = net::encodeStart(packet.start);
            break;
        case net::PacketType::confirmed:
            again = net::encodeConfirmed(packet.confirmed);
            break;
        case net::PacketType::worldPart:
            again = net::encodeWorldPart(packet.world);
            break;
    }
    if (again.size() != size || std::memcmp(again.data(), data, size) != 0) std::abort();
    return 0;
}
