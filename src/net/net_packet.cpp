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
    if (role > static_cast<uint8_t>(Role::spectator)) return fail(error, "unknown role");
    hello.role = static_cast<Role>(role);
    uint8_t length = in.u8();
    if (length > maxVersionLength) return fail(error, "version text too long");
    char text[maxVersionLength] = {};
    if (!in.raw(reinterpret_cast<uint8_t*>(text), length)) return fail(error, "truncated greeting");
    for (uint8_t i = 0; i < length; ++i)
        if (text[i] < 0x20 || text[i] > 0x7E) return fail(error, "version text not printable");
    hello.version.assign(text, length);
    hello.dataHash = in.u64();
    hello.startTick = in.u32();
    hello.slot = in.u8();
    uint8_t mode = in.u8();
    hello.delay = in.u8();
    hello.minPlayers = in.u8();
    in.raw(hello.highscores, highscoreImageSize);
    if (in.wentShort()) return fail(error, "truncated greeting");
    if (mode > static_cast<uint8_t>(Mode::rollback)) return fail(error, "unknown network mode");
    hello.mode = static_cast<Mode>(mode);
    if (hello.delay > maxDelay ||
        (hello.mode == Mode::lockstep && hello.delay < minLockstepDelay) ||
        (hello.mode == Mode::rollback && hello.delay > maxRollbackDelay))
        return fail(error, "input delay out of range");
    if (hello.minPlayers < 1 || hello.minPlayers > 3)
        return fail(error, "player count out of range");
    if (hello.slot >= maxMachines) return fail(error, "place in the game out of range");
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

bool decodeBatch(Reader& in, InputBatch& b, std::string& error) {
    b.ack = in.u32();
    b.runningFrame = in.u32();
    b.lead = static_cast<int8_t>(in.u8());
    b.first = in.u32();
    b.count = in.u8();
    if (in.wentShort()) return fail(error, "truncated inputs");
    if (b.count > maxBatchFrames) return fail(error, "too many frames in one packet");
    if (b.ack > maxFrame || b.runningFrame > maxFrame) return fail(error, "frame out of range");
    if (b.first == 0 || b.first > maxFrame - maxBatchFrames)
        return fail(error, "frame out of range");
    for (uint8_t i = 0; i < b.count; ++i) {
        b.frames[i].frame = b.first + i;
        if (!decodePlayer(in, b.frames[i].first, error) ||
            !decodePlayer(in, b.frames[i].third, error))
            return false;
    }
    b.slot = in.u8();
    b.otherAck = in.u32();
    if (in.wentShort()) return fail(error, "truncated inputs");
    if (b.slot >= maxMachines) return fail(error, "place in the game out of range");
    if (b.otherAck > maxFrame) return fail(error, "frame out of range");
    return true;
}

bool decodeStart(Reader& in, Start& s, std::string& error) {
    s.machines = in.u8();
    for (uint8_t& delay : s.delays) delay = in.u8();
    if (!in.raw(s.highscores, highscoreImageSize)) return fail(error, "truncated start");
    if (s.machines < 2 || s.machines > maxMachines)
        return fail(error, "machine count out of range");
    for (uint8_t delay : s.delays)
        if (delay > maxDelay) return fail(error, "input delay out of range");
    return true;
}

bool decodeConfirmed(Reader& in, ConfirmedInputs& c, std::string& error) {
    c.first = in.u32();
    c.count = in.u8();
    if (in.wentShort()) return fail(error, "truncated inputs");
    if (c.count > maxBatchFrames) return fail(error, "too many frames in one packet");
    if (c.first == 0 || c.first > maxFrame - maxBatchFrames)
        return fail(error, "frame out of range");
    for (uint8_t i = 0; i < c.count; ++i)
        for (PlayerInput& p : c.players[i])
            if (!decodePlayer(in, p, error)) return false;
    return true;
}

bool decodeWorldPart(Reader& in, WorldPart& w, std::string& error) {
    w.frame = in.u32();
    w.hash = in.u64();
    w.total = in.u32();
    w.offset = in.u32();
    w.length = in.u16();
    if (in.wentShort()) return fail(error, "truncated world");
    if (w.frame > maxFrame) return fail(error, "frame out of range");
    if (w.total == 0 || w.total > maxWorldBytes) return fail(error, "world size out of range");
    if (w.length == 0 || w.length > maxWorldPiece || w.offset > w.total ||
        w.length > w.total - w.offset)
        return fail(error, "world piece out of range");
    if (!in.raw(w.bytes, w.length)) return fail(error, "truncated world");
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
    out.u8(hello.slot);
    out.u8(static_cast<uint8_t>(hello.mode));
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

std::vector<uint8_t> encodeInputBatch(const InputBatch& batch) {
    Writer out(PacketType::inputs);
    out.u32(batch.ack);
    out.u32(batch.runningFrame);
    out.u8(static_cast<uint8_t>(batch.lead));
    out.u32(batch.first);
    uint8_t count = batch.count <= maxBatchFrames ? batch.count : maxBatchFrames;
    out.u8(count);
    for (int i = 0; i < count; ++i) {
        encodePlayer(out, batch.frames[i].first);
        encodePlayer(out, batch.frames[i].third);
    }
    out.u8(batch.slot);
    out.u32(batch.otherAck);
    return out.take();
}

std::vector<uint8_t> encodeStart(const Start& start) {
    Writer out(PacketType::start);
    out.u8(start.machines);
    for (uint8_t delay : start.delays) out.u8(delay);
    out.raw(start.highscores, highscoreImageSize);
    return out.take();
}

std::vector<uint8_t> encodeConfirmed(const ConfirmedInputs& inputs) {
    Writer out(PacketType::confirmed);
    out.u32(inputs.first);
    uint8_t count = inputs.count <= maxBatchFrames ? inputs.count : maxBatchFrames;
    out.u8(count);
    for (int i = 0; i < count; ++i)
        for (const PlayerInput& p : inputs.players[i]) encodePlayer(out, p);
    return out.take();
}

std::vector<uint8_t> encodeWorldPart(const WorldPart& part) {
    Writer out(PacketType::worldPart);
    out.u32(part.frame);
    out.u64(part.hash);
    out.u32(part.total);
    out.u32(part.offset);
    uint16_t length = part.length <= maxWorldPiece ? part.length : maxWorldPiece;
    out.u16(length);
    out.raw(part.bytes, length);
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
        case static_cast<uint8_t>(PacketType::inputs):
            ok = decodeBatch(in, packet.batch, error);
            break;
        case static_cast<uint8_t>(PacketType::start):
            ok = decodeStart(in, packet.start, error);
            break;
        case static_cast<uint8_t>(PacketType::confirmed):
            ok = decodeConfirmed(in, packet.confirmed, error);
            break;
        case static_cast<uint8_t>(PacketType::worldPart):
            ok = decodeWorldPart(in, packet.world, error);
            break;
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
            if (reason > static_cast<uint8_t>(ByeReason::full))
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
