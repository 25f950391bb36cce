#include "net/net_session.h"

#include <chrono>
#include <cstdio>

#include "base/quote_text.h"

namespace net {

namespace {

using Steady = std::chrono::steady_clock;

uint32_t millisSince(Steady::time_point start) {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count());
}

constexpr uint32_t pollStepMs = 50;

std::string hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

std::string greetingMismatch(const Hello& mine, const Hello& theirs) {
    std::string differs;
    if (mine.version != theirs.version)
        differs = "the other machine runs parapet " + theirs.version + ", this one " + mine.version;
    if (mine.dataHash != theirs.dataHash) {
        if (!differs.empty()) differs += "; ";
        differs += "the data files differ (other machine " + hex(theirs.dataHash) + ", this one " +
                   hex(mine.dataHash) + ")";
    }
    if (mine.role == theirs.role) {
        if (!differs.empty()) differs += "; ";
        differs +=
            mine.role == Role::host ? "both machines are hosting" : "both machines are joining";
    }
    return differs;
}

bool NetSession::fail(SessionEnd end, const std::string& message) {
    if (end_ == SessionEnd::none) {
        end_ = end;
        message_ = message;
    }
    // Whatever ended the game here, the other machine hears of it now rather than in ten
    // seconds.
    if (playing_ && link_.connected()) {
        link_.send(encodeBye(Bye{}));
        link_.close(200);
    }
    return false;
}

bool NetSession::waitForEvent(uint32_t timeoutMs, EnetLink::Event& event) {
    event = link_.poll(timeoutMs, packet_);
    if (event == EnetLink::Event::packet) return handlePacket();
    if (event == EnetLink::Event::disconnected && !peerGone_) {
        peerGone_ = true;
        peerGoneMessage_ = "the other player left the game";
    }
    return true;
}

NetSession::Greeting NetSession::awaitGreeting(Hello& peer, std::string& junk) {
    Steady::time_point begin = Steady::now();
    std::string error;
    while (true) {
        if (millisSince(begin) >= settings_.giveUpMs) {
            junk =
                "it did not greet within " + std::to_string(settings_.giveUpMs / 1000) + " seconds";
            if (!settings_.hosting) fail(SessionEnd::lost, "the other machine did not answer");
            return Greeting::junk;
        }
        if (keepConnecting && !keepConnecting()) {
            fail(SessionEnd::cancelled, "gave up waiting");
            return Greeting::failed;
        }
        EnetLink::Event event = link_.poll(pollStepMs, packet_);
        if (event == EnetLink::Event::disconnected) {
            junk = "it closed the connection without greeting";
            if (!settings_.hosting)
                fail(SessionEnd::refused, "the other machine closed the connection");
            return Greeting::junk;
        }
        if (event != EnetLink::Event::packet) continue;
        Packet p;
        if (!decodePacket(packet_.bytes, packet_.size, p, error)) {
            junk = "bad greeting (" + error + ")";
            if (!settings_.hosting)
                fail(SessionEnd::badPacket, "bad greeting from the other machine (" + error + ")");
            return Greeting::junk;
        }
        if (p.type == PacketType::bye) {
            fail(SessionEnd::refused, "the other machine refused the game");
            return Greeting::failed;
        }
        if (p.type != PacketType::hello) {
            junk = "it did not greet first";
            if (!settings_.hosting)
                fail(SessionEnd::badPacket, "the other machine did not greet first");
            return Greeting::junk;
        }
        peer = p.hello;
        return Greeting::greeted;
    }
}

void NetSession::dropJunkGuest(const std::string& why) {
    std::string who = link_.peerAddress();
    link_.drop();
    // A port scan or a flood must neither end the game nor fill the terminal: a few lines a
    // minute, then one that says the rest go unmentioned.
    Steady::time_point now = Steady::now();
    if (now - badGreetingMinute_ >= std::chrono::minutes(1)) {
        badGreetingMinute_ = now;
        badGreetingsThisMinute_ = 0;
    }
    ++badGreetingsThisMinute_;
    if (!onNotice || badGreetingsThisMinute_ > reportedBadGreetingsPerMinute + 1) return;
    if (badGreetingsThisMinute_ > reportedBadGreetingsPerMinute)
        onNotice("more than " + std::to_string(reportedBadGreetingsPerMinute) +
                 " bad connections within a minute; more are dropped without a word; still "
                 "waiting for the other player");
    else
        onNotice("dropped a connection from " + who + ": " + why +
                 "; still waiting for the other player");
}

bool NetSession::start(const SessionSettings& settings, Hello& agreed, Hello& peer) {
    settings_ = settings;
    role_ = settings.hosting ? Role::host : Role::guest;
    settings_.hello.role = role_;
    std::string error;
    if (settings.hosting) {
        if (!link_.listen(settings.bindAddress, settings.port, error))
            return fail(SessionEnd::refused, error);
        if (onListening) onListening(link_.boundPort());
    } else if (!link_.connect(settings.hostName, settings.port, error)) {
        return fail(SessionEnd::refused, error);
    }

    Steady::time_point begin = Steady::now();
    while (true) {
        while (!link_.connected()) {
            if (keepConnecting && !keepConnecting())
                return fail(SessionEnd::cancelled, "gave up waiting");
            if (settings.connectTimeoutMs > 0 && millisSince(begin) >= settings.connectTimeoutMs)
                return fail(SessionEnd::lost, settings.hosting
                                                  ? "no other player came"
                                                  : "cannot reach " + quoteText(settings.hostName) +
                                                        ":" + std::to_string(settings.port));
            link_.poll(pollStepMs, packet_);
        }
        link_.send(encodeHello(settings_.hello));
        std::string junk;
        Greeting greeting = awaitGreeting(peer, junk);
        if (greeting == Greeting::greeted) break;
        if (greeting == Greeting::failed || !settings.hosting) {
            link_.drop();
            return false;
        }
        // Whoever reached the port was no Parapet guest: the game waits on for the real one.
        dropJunkGuest(junk);
    }

    std::string differs = greetingMismatch(settings_.hello, peer);
    if (!differs.empty()) {
        Bye bye;
        bye.reason = ByeReason::refused;
        link_.send(encodeBye(bye));
        link_.close(1000);
        return fail(SessionEnd::refused, "refused the game: " + differs);
    }
    agreed = settings.hosting ? settings_.hello : peer;
    buffer_ = LockstepBuffer(agreed.delay);
    playing_ = true;
    return true;
}

bool NetSession::handlePacket() {
    Packet p;
    std::string error;
    bool ok = decodePacket(packet_.bytes, packet_.size, p, error);
    if (ok && p.type == PacketType::input) ok = buffer_.putRemote(p.input, error);
    if (ok && p.type == PacketType::hello) {
        ok = false;
        error = "a second greeting";
    }
    if (!ok) {
        Bye bye;
        bye.reason = ByeReason::badPacket;
        link_.send(encodeBye(bye));
        link_.drop();
        return fail(SessionEnd::badPacket,
                    "the other machine sent a bad packet (" + error + "); connection dropped");
    }
    if (p.type == PacketType::stateHash) {
        int slot = static_cast<int>((p.stateHash.frame / hashInterval) % hashSlots);
        remoteHashFrame_[slot] = p.stateHash.frame;
        remoteHash_[slot] = p.stateHash.hash;
        return compareHashes(p.stateHash.frame);
    }
    if (p.type == PacketType::bye && !peerGone_) {
        peerGone_ = true;
        if (p.bye.reason == ByeReason::desync)
            return fail(SessionEnd::desync, "the other machine found the games apart at frame " +
                                                std::to_string(p.bye.frame));
        peerGoneMessage_ = p.bye.reason == ByeReason::badPacket
                               ? "the other machine could not read our packets"
                               : "the other player left the game";
    }
    return true;
}

bool NetSession::compareHashes(uint32_t frame) {
    int slot = static_cast<int>((frame / hashInterval) % hashSlots);
    if (localHashFrame_[slot] != frame || remoteHashFrame_[slot] != frame) return true;
    if (localHash_[slot] == remoteHash_[slot]) return true;
    desyncLocal_ = localHash_[slot];
    desyncRemote_ = remoteHash_[slot];
    Bye bye;
    bye.reason = ByeReason::desync;
    bye.frame = frame;
    link_.send(encodeBye(bye));
    link_.close(500);
    return fail(SessionEnd::desync, "the two games went apart at frame " + std::to_string(frame) +
                                        " (this machine " + hex(desyncLocal_) + ", the other " +
                                        hex(desyncRemote_) + ")");
}

bool NetSession::exchange(uint32_t frame, const FrameInput& local, FrameInput& merged) {
    if (end_ != SessionEnd::none) return false;
    InputFrame mine = localInputFrame(frame + static_cast<uint32_t>(buffer_.delay()), local);
    buffer_.putLocal(mine);
    link_.send(encodeInput(mine));

    EnetLink::Event event;
    // Take whatever already arrived without waiting.
    do {
        if (!waitForEvent(0, event)) return false;
    } while (event != EnetLink::Event::none);

    Steady::time_point begin = Steady::now();
    while (!buffer_.ready(frame)) {
        if (peerGone_) return fail(SessionEnd::peerLeft, peerGoneMessage_);
        uint32_t waited = millisSince(begin);
        if (waited >= settings_.giveUpMs)
            return fail(SessionEnd::lost, "no input from the other player for " +
                                              std::to_string(settings_.giveUpMs / 1000) +
                                              " seconds; gave up the connection");
        if (waited >= settings_.waitingTextMs && onWaiting && !onWaiting())
            return fail(SessionEnd::cancelled, "left the network game");
        if (!waitForEvent(pollStepMs, event)) return false;
    }

    const InputFrame& hostInput =
        role_ == Role::host ? buffer_.local(frame) : buffer_.remote(frame);
    const InputFrame& guestInput =
        role_ == Role::host ? buffer_.remote(frame) : buffer_.local(frame);
    merged = mergeInputs(hostInput, guestInput);
    buffer_.ran(frame);
    return true;
}

bool NetSession::frameDone(uint32_t frame, uint64_t stateHash) {
    if (end_ != SessionEnd::none) return false;
    if (frame % hashInterval != 0) return true;
    int slot = static_cast<int>((frame / hashInterval) % hashSlots);
    localHashFrame_[slot] = frame;
    localHash_[slot] = stateHash;
    StateHash h;
    h.frame = frame;
    h.hash = stateHash;
    link_.send(encodeStateHash(h));
    return compareHashes(frame);
}

void NetSession::finish() {
    if (!link_.connected()) return;
    Bye bye;
    link_.send(encodeBye(bye));
    link_.close(2000);
}

}  // namespace net
