#include "net/net_packet.h"

#include <cstring>

namespace net {

namespace {

constexpr uint8_t magic[4] = {'P', 'R', 'P', 'T'};
constexpr size_t inputHeaderSize = 1 + 4 + 1;

class Writer {
public:
    explicit Writer(PacketType type) { u8(static_cast<uint8_t>(type)); }
    void u8(uint8_t v) { bytes_.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void u64(uint64_t v) {
        u32(static_cast<uint32_t>(v));
        u32(static_cast<uint32_t>(v >> 32));
    }
    void raw(const uint8_t* data, size_t n) { bytes_.insert(bytes_.end(), data, data + n); }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

// Reads from a bounded buffer; any read past the end sets `short_` and yields zeros.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t u8() {
        if (pos_ >= size_) {
            short_ = true;
            return 0;
        }
        return data_[pos_++];
    }
    uint16_t u16() {
        uint16_t lo = u8();
        return static_cast<uint16_t>(lo | (u8() << 8));
    }
    uint32_t u32() {
        uint32_t lo = u16();
        return lo | (static_cast<uint32_t>(u16()) << 16);
    }
    uint64_t u64() {
        uint64_t lo = u32();
        return lo | (static_cast<uint64_t>(u32()) << 32);
    }
    bool raw(uint8_t* out, size_t n) {
        if (size_ - pos_ < n || pos_ > size_) {
            short_ = true;
            return false;
        }
        std::memcpy(out, data_ + pos_, n);
        pos_ += n;
        return true;
    }
    size_t remaining() const { return pos_ <= size_ ? size_ - pos_ : 0; }
    bool wentShort() const { return short_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool short_ = false;
};

bool fail(std::string& error, const char* reason) {
    error = reason;
    return false;
}

bool decodeHello(Reader& in, Hello& hello, std::string& error) {
    uint8_t tag[4];
    if (!in.raw(tag, 4) || std::memcmp(tag, magic, 4) != 0)
        return fail(error, "not a parapet greeting");
    if (in.u16() != protocolVersion) return fail(error, "a different network protocol");
    uint8_t role = in.u8();
    if (role > static_cast<uint8_t>(Role::guest)) return fail(error, "unknown role");
    hello.role = static_cast<Role>(role);
    uint8_t length = in.u8();
    if (length > maxVersionLength) return fail(error, "version text too long");
    char text[maxVersionLength];
    if (!in.raw(reinterpret_cast<uint8_t*>(text), length)) return fail(error, "truncated greeting");
    for (uint8_t i = 0; i < length; ++i)
        if (text[i] < 0x20 || text[i] > 0x7E) return fail(error, "version text not printable");
    hello.version.assign(text, length);
    hello.dataHash = in.u64();
    hello.startTick = in.u32();
    hello.delay = in.u8();
    hello.minPlayers = in.u8();
    in.raw(hello.highscores, highscoreImageSize);
    if (in.wentShort()) return fail(error, "truncated greeting");
    if (hello.delay < minDelay || hello.delay > maxDelay)
        return fail(error, "input delay out of range");
    if (hello.minPlayers < 1 || hello.minPlayers > 3)
        return fail(error, "player count out of range");
    return true;
}

bool decodePlayer(Reader& in, PlayerInput& p, std::string& error) {
    p.keys = in.u64();
    p.buttons = in.u32();
    p.directions = in.u8();
    if ((p.keys & ~allGameKeys()) != 0) return fail(error, "unknown key");
    if (p.directions > 15) return fail(error, "bad directions");
    return true;
}

void encodePlayer(Writer& out, const PlayerInput& p) {
    out.u64(p.keys);
    out.u32(p.buttons);
    out.u8(p.directions);
}

}  // namespace

std::vector<uint8_t> encodeHello(const Hello& hello) {
    Writer out(PacketType::hello);
    out.raw(magic, 4);
    out.u16(protocolVersion);
    out.u8(static_cast<uint8_t>(hello.role));
    size_t length =
        hello.version.size() < maxVersionLength ? hello.version.size() : maxVersionLength;
    out.u8(static_cast<uint8_t>(length));
    out.raw(reinterpret_cast<const uint8_t*>(hello.version.data()), length);
    out.u64(hello.dataHash);
    out.u32(hello.startTick);
    out.u8(hello.delay);
    out.u8(hello.minPlayers);
    out.raw(hello.highscores, highscoreImageSize);
    return out.take();
}

std::vector<uint8_t> encodeInput(const InputFrame& input) {
    Writer out(PacketType::input);
    out.u32(input.frame);
    encodePlayer(out, input.first);
    encodePlayer(out, input.third);
    return out.take();
}

std::vector<uint8_t> encodeStateHash(const StateHash& hash) {
    Writer out(PacketType::stateHash);
    out.u32(hash.frame);
    out.u64(hash.hash);
    return out.take();
}

std::vector<uint8_t> encodeBye(const Bye& bye) {
    Writer out(PacketType::bye);
    out.u8(static_cast<uint8_t>(bye.reason));
    out.u32(bye.frame);
    return out.take();
}

bool decodePacket(const uint8_t* data, size_t size, Packet& packet, std::string& error) {
    if (data == nullptr || size == 0) return fail(error, "empty packet");
    Reader in(data, size);
    uint8_t type = in.u8();
    bool ok = false;
    switch (type) {
        case static_cast<uint8_t>(PacketType::hello):
            ok = decodeHello(in, packet.hello, error);
            break;
        case static_cast<uint8_t>(PacketType::input): {
            InputFrame& f = packet.input;
            f.frame = in.u32();
            ok = decodePlayer(in, f.first, error) && decodePlayer(in, f.third, error);
            if (ok && in.wentShort()) return fail(error, "truncated input");
            if (ok && (f.frame == 0 || f.frame > maxFrame)) ok = fail(error, "frame out of range");
            break;
        }
        case static_cast<uint8_t>(PacketType::stateHash):
            packet.stateHash.frame = in.u32();
            packet.stateHash.hash = in.u64();
            ok = true;
            if (packet.stateHash.frame == 0 || packet.stateHash.frame > maxFrame)
                ok = fail(error, "frame out of range");
            break;
        case static_cast<uint8_t>(PacketType::bye): {
            uint8_t reason = in.u8();
            packet.bye.frame = in.u32();
            if (reason > static_cast<uint8_t>(ByeReason::badPacket))
                return fail(error, "unknown farewell");
            packet.bye.reason = static_cast<ByeReason>(reason);
            ok = true;
            break;
        }
        default:
            return fail(error, "unknown packet type");
    }
    if (!ok) return false;
    if (in.wentShort()) return fail(error, "truncated packet");
    if (in.remaining() != 0) return fail(error, "trailing bytes");
    packet.type = static_cast<PacketType>(type);
    return true;
}

}  // namespace net
