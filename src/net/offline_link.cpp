// The network link of a build without online play (the browser build): ENet's UDP cannot be
// had there, so hosting and joining are refused with one clear reason and nothing else runs.
#include "net/enet_link.h"

namespace net {

namespace {
const char* const noOnlinePlay = "this build of the game has no online play";
}  // namespace

EnetLink::EnetLink() = default;
EnetLink::~EnetLink() = default;

bool EnetLink::listen(const std::string&, uint16_t, std::string& error) {
    error = noOnlinePlay;
    return false;
}

bool EnetLink::connect(const std::string&, uint16_t, std::string& error) {
    error = noOnlinePlay;
    return false;
}

EnetLink::Event EnetLink::poll(uint32_t, Received&) { return Event::none; }
const std::string& EnetLink::peerAddress(int) const { return peerAddress_[0]; }
bool EnetLink::connected(int) const { return false; }
bool EnetLink::anyConnected() const { return false; }
void EnetLink::send(int, const std::vector<uint8_t>&) {}
void EnetLink::sendUnreliable(int, const std::vector<uint8_t>&) {}
uint32_t EnetLink::roundTripMs(int) const { return 0; }
void EnetLink::close(int, uint32_t) {}
void EnetLink::closeAll(uint32_t) {}
void EnetLink::closeLater(int) {}
void EnetLink::drop(int) { host_ = nullptr; }

}  // namespace net
