#include "net/net_session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "base/quote_text.h"

namespace net {

namespace {

using Steady = std::chrono::steady_clock;

uint32_t millisSince(Steady::time_point start) {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count());
}

constexpr uint32_t pollStepMs = 50;

// A delay as rollback plays it: a machine set up for lockstep may bring a longer one.
int rollbackDelay(int delay) { return std::min(delay, maxRollbackDelay); }

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
    // Whatever ended the game here, the other machines hear of it now rather than in ten
    // seconds (also a guest that waited for the game to begin).
    if ((playing_ || guestsGreeted() > 0) && link_.anyConnected()) {
        sendToAll(encodeBye(Bye{}));
        link_.closeAll(200);
    }
    return false;
}

void NetSession::sendToPlayers(const std::vector<uint8_t>& bytes) {
    for (int i = 0; i < EnetLink::maxPeers; ++i)
        if (remotes_[i].player()) link_.send(i, bytes);
}

void NetSession::sendToAll(const std::vector<uint8_t>& bytes) {
    for (int i = 0; i < EnetLink::maxPeers; ++i)
        if (remotes_[i].player() || remotes_[i].kind == Remote::Kind::spectator)
            link_.send(i, bytes);
}

int NetSession::firstPlayer() const {
    for (int i = 0; i < EnetLink::maxPeers; ++i)
        if (remotes_[i].player()) return i;
    return 0;
}

int NetSession::guestsGreeted() const {
    int n = 0;
    for (const Remote& r : remotes_) n += r.kind == Remote::Kind::guest;
    return n;
}

int NetSession::spectators() const {
    int n = 0;
    for (const Remote& r : remotes_) n += r.kind == Remote::Kind::spectator;
    return n;
}

std::string NetSession::waitingFor() const {
    int missing = machines_ - 1 - guestsGreeted();
    return missing > 1 ? "the other players" : "the other player";
}

bool NetSession::waitForEvent(uint32_t timeoutMs, EnetLink::Event& event) {
    event = link_.poll(timeoutMs, packet_);
    int from = packet_.from;
    if (role_ == Role::host) dropOldPending();
    if (from < 0) return true;
    Remote& r = remotes_[from];
    if (event == EnetLink::Event::connected && role_ == Role::host) {
        r = Remote{};
        r.kind = Remote::Kind::pending;
        r.since = Steady::now();
    }
    if (event == EnetLink::Event::packet) return handlePacket();
    if (event == EnetLink::Event::disconnected) {
        if (r.kind == Remote::Kind::pending) {
            dropJunk(from, "it closed the connection without greeting");
        } else if (r.kind == Remote::Kind::spectator) {
            if (onNotice) onNotice("a spectator left (" + link_.peerAddress(from) + ")");
            r = Remote{};
        } else if (r.player() && !peerGone_) {
            peerGone_ = true;
            peerGoneMessage_ = role_ == Role::spectator ? "the host left the game"
                                                        : "the other player left the game";
        }
    }
    return true;
}

void NetSession::dropOldPending() {
    for (int i = 0; i < EnetLink::maxPeers; ++i)
        if (remotes_[i].kind == Remote::Kind::pending &&
            millisSince(remotes_[i].since) >= settings_.giveUpMs)
            dropJunk(i, "it did not greet within " + std::to_string(settings_.giveUpMs / 1000) +
                            " seconds");
}

NetSession::Greeting NetSession::awaitGreeting(Hello& peer, std::string& junk) {
    Steady::time_point begin = Steady::now();
    std::string error;
    while (true) {
        if (millisSince(begin) >= settings_.giveUpMs) {
            junk =
                "it did not greet within " + std::to_string(settings_.giveUpMs / 1000) + " seconds";
            fail(SessionEnd::lost, "the other machine did not answer");
            return Greeting::junk;
        }
        if (keepConnecting && !keepConnecting()) {
            fail(SessionEnd::cancelled, "gave up waiting");
            return Greeting::failed;
        }
        EnetLink::Event event = link_.poll(pollStepMs, packet_);
        if (event == EnetLink::Event::disconnected) {
            junk = "it closed the connection without greeting";
            fail(SessionEnd::refused, "the other machine closed the connection");
            return Greeting::junk;
        }
        if (event != EnetLink::Event::packet) continue;
        Packet p;
        if (!decodePacket(packet_.bytes, packet_.size, p, error)) {
            junk = "bad greeting (" + error + ")";
            fail(SessionEnd::badPacket, "bad greeting from the other machine (" + error + ")");
            return Greeting::junk;
        }
        if (p.type == PacketType::bye) {
            fail(SessionEnd::refused,
                 p.bye.reason != ByeReason::full ? "the other machine refused the game"
                 : role_ == Role::spectator
                     ? "the game already has " + std::to_string(maxSpectators) +
                           " spectators, the most it takes"
                     : "the game already has all its players");
            return Greeting::failed;
        }
        // The host may already play and send input, on a channel that overtakes the greeting
        // when that was lost once: it comes again, so it waits for the game.
        if (p.type == PacketType::inputs) continue;
        if (p.type != PacketType::hello) {
            junk = "it did not greet first";
            fail(SessionEnd::badPacket, "the other machine did not greet first");
            return Greeting::junk;
        }
        peer = p.hello;
        return Greeting::greeted;
    }
}

void NetSession::sayBye(int peer, ByeReason reason) {
    Bye bye;
    bye.reason = reason;
    link_.send(peer, encodeBye(bye));
}

void NetSession::refuse(int peer, ByeReason reason) {
    sayBye(peer, reason);
    link_.closeLater(peer);
    remotes_[peer] = Remote{};
}

void NetSession::dropBadPeer(int peer) {
    sayBye(peer, ByeReason::badPacket);
    link_.drop(peer);
    remotes_[peer] = Remote{};
}

void NetSession::dropJunk(int peer, const std::string& why) {
    std::string who = link_.peerAddress(peer);
    link_.drop(peer);
    remotes_[peer] = Remote{};
    // A port scan or a flood must neither end the game nor fill the terminal: a few lines a
    // minute, then one that says the rest go unmentioned.
    Steady::time_point now = Steady::now();
    if (now - badGreetingMinute_ >= std::chrono::minutes(1)) {
        badGreetingMinute_ = now;
        badGreetingsThisMinute_ = 0;
    }
    ++badGreetingsThisMinute_;
    if (!onNotice || badGreetingsThisMinute_ > reportedBadGreetingsPerMinute + 1) return;
    std::string still = playing_ ? "" : "; still waiting for " + waitingFor();
    if (badGreetingsThisMinute_ > reportedBadGreetingsPerMinute)
        onNotice("more than " + std::to_string(reportedBadGreetingsPerMinute) +
                 " bad connections within a minute; more are dropped without a word" + still);
    else
        onNotice("dropped a connection from " + who + ": " + why + still);
}

// The host's side of a greeting: a guest gets its place while there is one, a spectator a
// seat while there is one; a greeting that does not fit the game stops it before it begins
// (a guest's) or is turned away (a spectator's, or anybody's once the game runs).
bool NetSession::greet(int from, const Packet& p) {
    Remote& r = remotes_[from];
    if (p.type != PacketType::hello) {
        dropJunk(from,
                 p.type == PacketType::bye ? "it left without greeting" : "it did not greet first");
        return true;
    }
    const Hello& peer = p.hello;
    std::string differs = greetingMismatch(settings_.hello, peer);
    bool spectator = peer.role == Role::spectator;
    if (!differs.empty()) {
        // Our greeting first, so the other machine can say what differs too.
        link_.send(from, encodeHello(greeting_));
        refuse(from, ByeReason::refused);
        if (spectator || playing_) {
            if (onNotice)
                onNotice("refused a " + std::string(spectator ? "spectator" : "player") + " from " +
                         link_.peerAddress(from) + ": " + differs);
            return true;
        }
        return fail(SessionEnd::refused, "refused the game: " + differs);
    }
    if (spectator) {
        if (spectators() >= maxSpectators) {
            if (onNotice)
                onNotice("turned a spectator away (" + link_.peerAddress(from) + "): already " +
                         std::to_string(maxSpectators) + " watch");
            refuse(from, ByeReason::full);
            return true;
        }
        r.kind = Remote::Kind::spectator;
        Hello answer = greeting_;
        answer.slot = 0;
        link_.send(from, encodeHello(answer));
        if (onNotice) onNotice("a spectator watches from " + link_.peerAddress(from));
        return true;
    }
    if (playing_ || guestsGreeted() >= machines_ - 1) {
        refuse(from, ByeReason::full);
        return true;
    }
    bool taken[maxMachines] = {true, false, false};
    for (const Remote& other : remotes_)
        if (other.kind == Remote::Kind::guest) taken[other.slot] = true;
    int slot = 1;
    while (taken[slot]) ++slot;
    r.kind = Remote::Kind::guest;
    r.slot = slot;
    r.hello = peer;
    r.delay = rollbackDelay(peer.delay);
    Hello answer = greeting_;
    answer.slot = static_cast<uint8_t>(slot);
    link_.send(from, encodeHello(answer));
    if (onNotice && machines_ > 2 && guestsGreeted() < machines_ - 1)
        onNotice("player " + std::to_string(slot + 1) + " joined from " + link_.peerAddress(from) +
                 "; waiting for " + waitingFor());
    return true;
}

bool NetSession::awaitStart() {
    // The game begins when all its players are there; a window may wait long for the last.
    while (!started_) {
        if (keepConnecting && !keepConnecting())
            return fail(SessionEnd::cancelled, "gave up waiting");
        EnetLink::Event event;
        if (!waitForEvent(pollStepMs, event)) return false;
        if (peerGone_) return fail(SessionEnd::peerLeft, peerGoneMessage_);
    }
    return true;
}

bool NetSession::awaitWorld() {
    Steady::time_point heard = Steady::now();
    while (!worldWhole_) {
        if (keepConnecting && !keepConnecting())
            return fail(SessionEnd::cancelled, "gave up waiting");
        if (millisSince(heard) >= settings_.giveUpMs)
            return fail(SessionEnd::lost, "the host sent no game to watch for " +
                                              std::to_string(settings_.giveUpMs / 1000) +
                                              " seconds");
        EnetLink::Event event;
        if (!waitForEvent(pollStepMs, event)) return false;
        if (event == EnetLink::Event::packet) heard = Steady::now();
        if (peerGone_) return fail(SessionEnd::peerLeft, peerGoneMessage_);
    }
    return true;
}

bool NetSession::start(const SessionSettings& settings, Hello& agreed, Hello& peer) {
    settings_ = settings;
    role_ = settings.hosting ? Role::host : settings.spectating ? Role::spectator : Role::guest;
    settings_.hello.role = role_;
    machines_ = settings.hosting ? settings.machines : 2;
    std::string error;
    if (settings.hosting) {
        if (!link_.listen(settings.bindAddress, settings.port, error))
            return fail(SessionEnd::refused, error);
        if (onListening) onListening(link_.boundPort());
    } else if (!link_.connect(settings.hostName, settings.port, error)) {
        return fail(SessionEnd::refused, error);
    }

    Steady::time_point begin = Steady::now();
    if (settings.hosting) {
        greeting_ = settings_.hello;
        while (guestsGreeted() < machines_ - 1) {
            if (keepConnecting && !keepConnecting())
                return fail(SessionEnd::cancelled, "gave up waiting");
            if (settings.connectTimeoutMs > 0 && millisSince(begin) >= settings.connectTimeoutMs)
                return fail(SessionEnd::lost, guestsGreeted() == 0
                                                  ? "no other player came"
                                                  : "the last player did not come");
            EnetLink::Event event;
            if (!waitForEvent(pollStepMs, event)) return false;
            if (peerGone_) {
                // A guest that left before the game began frees its place.
                peerGone_ = false;
                for (int i = 0; i < EnetLink::maxPeers; ++i)
                    if (remotes_[i].kind == Remote::Kind::guest && !link_.connected(i))
                        remotes_[i] = Remote{};
            }
        }
        Start go;
        go.machines = static_cast<uint8_t>(machines_);
        int delays[maxMachines] = {rollbackDelay(settings_.hello.delay)};
        for (const Remote& r : remotes_)
            if (r.kind == Remote::Kind::guest) delays[r.slot] = r.delay;
        for (int s = 0; s < maxMachines; ++s) go.delays[s] = static_cast<uint8_t>(delays[s]);
        std::vector<Hello> guests;
        for (const Remote& r : remotes_)
            if (r.kind == Remote::Kind::guest) guests.push_back(r.hello);
        std::memcpy(go.highscores, settings_.hello.highscores, highscoreImageSize);
        if (agreeTables) agreeTables(guests, go.highscores);
        std::memcpy(table_, go.highscores, highscoreImageSize);
        playing_ = true;
        sendToPlayers(encodeStart(go));
        peer = guests.front();
        agreed = settings_.hello;
        mode_ = agreed.mode;
        slot_ = 0;
        if (mode_ == Mode::rollback) {
            localDelay_ = delays[0];
            rollback_ = std::make_unique<Rollback>(machines_, 0, delays, agreed.startTick);
        } else {
            buffer_ = LockstepBuffer(agreed.delay);
        }
        return true;
    }

    while (!link_.connected(0)) {
        if (keepConnecting && !keepConnecting())
            return fail(SessionEnd::cancelled, "gave up waiting");
        if (settings.connectTimeoutMs > 0 && millisSince(begin) >= settings.connectTimeoutMs)
            return fail(SessionEnd::lost, "cannot reach " + quoteText(settings.hostName) + ":" +
                                              std::to_string(settings.port));
        link_.poll(pollStepMs, packet_);
    }
    link_.send(0, encodeHello(settings_.hello));
    std::string junk;
    if (awaitGreeting(peer, junk) != Greeting::greeted) {
        link_.drop(0);
        return false;
    }
    std::string differs = greetingMismatch(settings_.hello, peer);
    if (role_ == Role::spectator && peer.role != Role::host && differs.empty())
        differs = "the other machine is not hosting";
    if (!differs.empty()) {
        sayBye(0, ByeReason::refused);
        link_.close(0, 1000);
        return fail(SessionEnd::refused, "refused the game: " + differs);
    }
    Remote& host = remotes_[0];
    host.kind = Remote::Kind::host;
    agreed = peer;
    mode_ = agreed.mode;
    playing_ = true;
    if (role_ == Role::spectator) return awaitWorld();
    slot_ = peer.slot;
    if (slot_ < 1) return fail(SessionEnd::badPacket, "the host gave us no place in the game");
    if (!awaitStart()) return false;
    if (mode_ == Mode::rollback) {
        // Each machine keeps its own delay.
        localDelay_ = rollbackDelay(settings_.hello.delay);
        int delays[maxMachines] = {};
        for (int s = 0; s < maxMachines; ++s) delays[s] = rollbackDelay(otherDelays_[s]);
        delays[slot_] = localDelay_;
        rollback_ = std::make_unique<Rollback>(machines_, slot_, delays, agreed.startTick);
    } else {
        buffer_ = LockstepBuffer(agreed.delay);
    }
    return true;
}

bool NetSession::handlePacket() {
    int from = packet_.from;
    Remote& r = remotes_[from];
    Packet p;
    std::string error;
    bool ok = decodePacket(packet_.bytes, packet_.size, p, error);
    if (r.kind == Remote::Kind::pending) {
        if (!ok) {
            dropJunk(from, "bad greeting (" + error + ")");
            return true;
        }
        return greet(from, p);
    }
    if (r.kind == Remote::Kind::spectator) return handleSpectatorPacket(from, ok ? &p : nullptr);
    if (r.kind == Remote::Kind::none) return true;
    // Each mode speaks its own input packets only.
    if (ok && (p.type == PacketType::input || p.type == PacketType::inputs) &&
        (p.type == PacketType::inputs) != (mode_ == Mode::rollback)) {
        ok = false;
        error = "input of the other network mode";
    }
    bool spectating = role_ == Role::spectator;
    bool watchOnly = p.type == PacketType::confirmed || p.type == PacketType::worldPart;
    if (ok && (spectating ? (p.type == PacketType::input || p.type == PacketType::inputs ||
                             p.type == PacketType::start)
                          : watchOnly)) {
        ok = false;
        error = spectating ? "a player's packet sent to a spectator"
                           : "a spectator's packet sent to a player";
    }
    if (ok && p.type == PacketType::start) {
        if (role_ != Role::guest || started_) {
            ok = false;
            error = "a second start";
        } else {
            started_ = true;
            machines_ = p.start.machines;
            if (slot_ >= machines_) {
                ok = false;
                error = "a place beyond the game's machines";
            }
            for (int s = 0; s < maxMachines; ++s) otherDelays_[s] = p.start.delays[s];
            std::memcpy(table_, p.start.highscores, highscoreImageSize);
        }
    }
    if (ok && p.type == PacketType::input) ok = buffer_.putRemote(p.input, error);
    // Input overtakes the start on its unreliable channel: it comes again once we play.
    if (ok && p.type == PacketType::inputs && rollback_ != nullptr) {
        uint32_t before = rollback_->known(p.batch.slot);
        ok = takeBatch(r, p.batch, error);
        // A guest's new input goes on to the other guest at once rather than with our next
        // frame: it has two hops to travel.
        if (ok && role_ == Role::host && rollback_->known(p.batch.slot) > before)
            for (int i = 0; i < EnetLink::maxPeers; ++i)
                if (remotes_[i].kind == Remote::Kind::guest && i != from)
                    sendBatch(i, p.batch.slot, running_);
    }
    if (ok && p.type == PacketType::confirmed) {
        const ConfirmedInputs& c = p.confirmed;
        if (c.first != watchedFirst_ + watched_.size() || !worldWhole_) {
            ok = false;
            error = "confirmed input out of order";
        } else if (watched_.size() - watchedNext_ > maxWatchedFrames) {
            return fail(SessionEnd::lost, "this machine fell too far behind the game");
        } else {
            for (int i = 0; i < c.count; ++i) {
                FrameInput input;
                for (int s = 0; s < maxMachines; ++s) input.players[s] = c.players[i][s];
                input.clock = agreedClock(settings_.hello.startTick, c.first + i);
                watched_.push_back(input);
            }
        }
    }
    if (ok && p.type == PacketType::worldPart) {
        const WorldPart& w = p.world;
        if (worldWhole_ || w.offset != world_.size() ||
            (w.offset > 0 &&
             (w.frame != worldFrame_ || w.hash != worldHash_ || w.total != worldTotal_))) {
            ok = false;
            error = "world pieces out of order";
        } else {
            worldFrame_ = w.frame;
            worldHash_ = w.hash;
            worldTotal_ = w.total;
            world_.insert(world_.end(), w.bytes, w.bytes + w.length);
            worldWhole_ = world_.size() == w.total;
            watchedFirst_ = w.frame + 1;
        }
    }
    if (ok && p.type == PacketType::hello) {
        ok = false;
        error = "a second greeting";
    }
    if (!ok) {
        dropBadPeer(from);
        return fail(SessionEnd::badPacket,
                    "the other machine sent a bad packet (" + error + "); connection dropped");
    }
    if (p.type == PacketType::stateHash) {
        int slot = static_cast<int>((p.stateHash.frame / hashInterval) % hashSlots);
        r.hashFrame[slot] = p.stateHash.frame;
        r.hash[slot] = p.stateHash.hash;
        return compareHashes(p.stateHash.frame);
    }
    if (p.type == PacketType::bye && !peerGone_) {
        peerGone_ = true;
        if (p.bye.reason == ByeReason::desync)
            return fail(SessionEnd::desync, "the other machine found the games apart at frame " +
                                                std::to_string(p.bye.frame));
        peerGoneMessage_ = p.bye.reason == ByeReason::badPacket
                               ? "the other machine could not read our packets"
                           : spectating ? "the game ended"
                                        : "the other player left the game";
    }
    return true;
}

// A spectator says nothing but goodbye; anything else costs it its seat, never the game.
bool NetSession::handleSpectatorPacket(int from, const Packet* p) {
    if (p != nullptr && p->type == PacketType::bye) {
        link_.closeLater(from);
        remotes_[from] = Remote{};
        return true;
    }
    if (onNotice)
        onNotice("dropped the spectator at " + link_.peerAddress(from) + ": it sent a bad packet");
    dropBadPeer(from);
    return true;
}

bool NetSession::compareHashes(uint32_t frame) {
    int slot = static_cast<int>((frame / hashInterval) % hashSlots);
    if (localHashFrame_[slot] != frame) return true;
    for (Remote& r : remotes_) {
        if (!r.player() || r.hashFrame[slot] != frame) continue;
        if (localHash_[slot] == r.hash[slot]) continue;
        desyncLocal_ = localHash_[slot];
        desyncRemote_ = r.hash[slot];
        Bye bye;
        bye.reason = ByeReason::desync;
        bye.frame = frame;
        sendToPlayers(encodeBye(bye));
        link_.closeAll(500);
        return fail(SessionEnd::desync, std::string(machines_ > 2 ? "the games" : "the two games") +
                                            " went apart at frame " + std::to_string(frame) +
                                            " (this machine " + hex(desyncLocal_) + ", the other " +
                                            hex(desyncRemote_) + ")");
    }
    return true;
}

bool NetSession::waitUntil(const std::function<bool()>& ready, const char* missing,
                           const char* leaving, uint32_t pollMs,
                           const std::function<void()>& eachTurn) {
    EnetLink::Event event;
    // Take whatever already arrived without waiting.
    do {
        if (!waitForEvent(0, event)) return false;
    } while (event != EnetLink::Event::none);

    Steady::time_point begin = Steady::now();
    while (!ready()) {
        if (eachTurn) eachTurn();
        if (peerGone_) return fail(SessionEnd::peerLeft, peerGoneMessage_);
        uint32_t waitedMs = millisSince(begin);
        if (waitedMs >= settings_.giveUpMs)
            return fail(SessionEnd::lost, std::string(missing) + " for " +
                                              std::to_string(settings_.giveUpMs / 1000) +
                                              " seconds; gave up the connection");
        if (waitedMs >= settings_.waitingTextMs && onWaiting && !onWaiting())
            return fail(SessionEnd::cancelled, leaving);
        if (!waitForEvent(pollMs, event)) return false;
    }
    return true;
}

bool NetSession::exchange(uint32_t frame, const FrameInput& local, FrameInput& merged) {
    if (end_ != SessionEnd::none) return false;
    int peer = firstPlayer();
    InputFrame mine = localInputFrame(frame + static_cast<uint32_t>(buffer_.delay()), local);
    buffer_.putLocal(mine);
    link_.send(peer, encodeInput(mine));

    if (!waitUntil([&] { return buffer_.ready(frame); }, "no input from the other player",
                   "left the network game", pollStepMs))
        return false;

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
    sendToPlayers(encodeStateHash(h));
    return compareHashes(frame);
}

bool NetSession::takeBatch(Remote& from, const InputBatch& batch, std::string& error) {
    // A guest sends its own input; the host its own and the other guest's.
    bool fromHost = from.kind == Remote::Kind::host;
    if (fromHost ? (batch.slot == slot_ || batch.slot >= machines_) : batch.slot != from.slot) {
        error = "input of a place the sender does not play";
        return false;
    }
    for (int i = 0; i < batch.count; ++i)
        if (!rollback_->putRemote(batch.slot, batch.frames[i], error)) return false;
    if (batch.ack > rollback_->localKnown()) {
        error = "acknowledged input of frame " + std::to_string(batch.ack) + " never sent";
        return false;
    }
    if (batch.ack > from.ack[slot_]) from.ack[slot_] = batch.ack;
    if (!fromHost && machines_ > 2) {
        int other = 3 - from.slot;
        if (batch.otherAck > rollback_->known(other)) {
            error = "acknowledged input of frame " + std::to_string(batch.otherAck) + " never sent";
            return false;
        }
        if (batch.otherAck > from.ack[other]) from.ack[other] = batch.otherAck;
    }
    // Packets overtake each other: only the newest says where the other machine is.
    if (batch.runningFrame >= from.running) {
        from.running = batch.runningFrame;
        from.lead = batch.lead;
    }
    return true;
}

void NetSession::sendBatch(int peer, int slot, uint32_t runningFrame) {
    Remote& to = remotes_[peer];
    InputBatch batch;
    batch.slot = static_cast<uint8_t>(slot);
    batch.ack = rollback_->known(to.slot);
    if (role_ == Role::guest && machines_ > 2) batch.otherAck = rollback_->known(3 - slot_);
    batch.runningFrame = runningFrame;
    int lead = static_cast<int>(runningFrame) - static_cast<int>(to.running);
    // A guest keeps in time with the host alone; when the other guest runs behind the host,
    // the guest is that much further ahead of it, and is told so (as twice the lead, like the
    // lead it measures).
    if (role_ == Role::host && machines_ > 2)
        for (const Remote& other : remotes_)
            if (other.kind == Remote::Kind::guest && &other != &to && other.leadCount > 0)
                lead -= 2 * std::max(0, other.leadSum / (2 * other.leadCount));
    batch.lead = static_cast<int8_t>(lead > 127 ? 127 : (lead < -127 ? -127 : lead));
    uint32_t last = rollback_->known(slot);
    batch.first = to.ack[slot] + 1;
    if (batch.first > last) {
        // Nothing new: an empty packet still carries the acknowledgement.
        batch.first = last + 1;
    }
    while (batch.first <= last && batch.count < maxBatchFrames) {
        batch.frames[batch.count] = rollback_->inputOf(slot, batch.first + batch.count);
        ++batch.count;
        if (batch.first + batch.count > last) break;
    }
    link_.sendUnreliable(peer, encodeInputBatch(batch));
}

void NetSession::sendInputs(uint32_t runningFrame) {
    for (int i = 0; i < EnetLink::maxPeers; ++i) {
        const Remote& r = remotes_[i];
        if (!r.player()) continue;
        sendBatch(i, slot_, runningFrame);
        // The host passes on each guest's input to the other.
        if (role_ == Role::host)
            for (int s = 1; s < machines_; ++s)
                if (s != r.slot) sendBatch(i, s, runningFrame);
    }
}

bool NetSession::prepareFrame(uint32_t frame, const FrameInput& local, FrameInput& input) {
    if (end_ != SessionEnd::none) return false;
    Rollback& rollback = *rollback_;
    rollback.putLocal(frame, local);
    running_ = frame - 1;
    sendInputs(running_);
    Steady::time_point begin = Steady::now();
    Steady::time_point lastSend = begin;
    bool waited = false;
    // The other machine may be waiting for us too: what it lost comes again.
    auto resend = [&] {
        waited = true;
        if (millisSince(lastSend) >= 16) {
            sendInputs(running_);
            lastSend = Steady::now();
        }
    };
    if (!waitUntil([&] { return rollback.canRun(frame); }, "no input from the other player",
                   "left the network game", 4, resend))
        return false;
    if (waited) {
        ++report_.waits;
        if (frame > 30) {
            if (report_.lateWaits++ == 0) report_.firstLateWait = static_cast<int>(frame);
            report_.lastLateWait = static_cast<int>(frame);
        }
        int ms = static_cast<int>(millisSince(begin));
        if (ms > report_.longestWaitMs) report_.longestWaitMs = ms;
    }
    // How far ahead we run, against how far ahead the other machine sees itself: the
    // difference is twice our lead, whatever the latency.
    for (Remote& r : remotes_) {
        if (!r.player()) continue;
        int sample = static_cast<int>(running_) - static_cast<int>(r.running) - r.lead;
        r.leadSum += sample;
        if (++r.leadCount > leadSamples) {
            r.leadSum -= r.leadSum / leadSamples;
            r.leadCount = leadSamples;
        }
    }
    input = rollback.prepare(frame);
    report_.rollbacks = rollback.rollbacks();
    report_.longestRollback = rollback.longestRollback();
    return true;
}

bool NetSession::slowDown(uint32_t frame) {
    if (rollback_ == nullptr || end_ != SessionEnd::none) return false;
    if (frame < lastSlowdown_ + 10) return false;
    // Half the mean of the samples is our lead in frames; a whole frame of it over any other
    // machine is worth a pause.
    bool ahead = false;
    for (const Remote& r : remotes_)
        ahead |= r.player() && r.leadCount >= leadSamples && r.leadSum >= 2 * r.leadCount;
    if (!ahead) return false;
    lastSlowdown_ = frame;
    for (Remote& r : remotes_) r.leadSum = r.leadCount = 0;
    ++report_.slowdowns;
    return true;
}

void NetSession::settle(uint32_t lastFrame) {
    if (rollback_ == nullptr || end_ != SessionEnd::none) return;
    Steady::time_point begin = Steady::now();
    Steady::time_point lastSend = begin - std::chrono::milliseconds(100);
    EnetLink::Event event;
    // Every other player's machine has what it needs from us: our input, and (from the host)
    // the other guest's.
    auto othersHaveAll = [&] {
        for (int i = 0; i < EnetLink::maxPeers; ++i) {
            const Remote& r = remotes_[i];
            if (!r.player() || !link_.connected(i)) continue;
            for (int s = 0; s < machines_; ++s) {
                if (s == r.slot || (role_ != Role::host && s != slot_)) continue;
                uint32_t owed = std::min(lastFrame, rollback_->known(s));
                if (r.ack[s] < owed) return false;
            }
        }
        return true;
    };
    while (millisSince(begin) < settings_.settleMs && !peerGone_ && link_.anyConnected()) {
        if (rollback_->remoteKnown() >= lastFrame && othersHaveAll()) break;
        if (millisSince(lastSend) >= 16) {
            sendInputs(lastFrame);
            lastSend = Steady::now();
        }
        if (!waitForEvent(4, event)) return;
    }
    // One more, so the other machines hear that we have all of their input.
    sendInputs(lastFrame);
}

void NetSession::finish() {
    if (!link_.anyConnected()) return;
    flushSpectators();
    sendToAll(encodeBye(Bye{}));
    link_.closeAll(2000);
}

bool NetSession::spectatorsWaiting() const {
    for (const Remote& r : remotes_)
        if (r.kind == Remote::Kind::spectator && !r.watching) return true;
    return false;
}

void NetSession::sendWorld(uint32_t frame, const std::vector<uint8_t>& bytes, uint64_t hash) {
    flushSpectators();
    WorldPart part;
    part.frame = frame;
    part.hash = hash;
    part.total = static_cast<uint32_t>(bytes.size());
    for (int i = 0; i < EnetLink::maxPeers; ++i) {
        Remote& r = remotes_[i];
        if (r.kind != Remote::Kind::spectator || r.watching) continue;
        r.watching = true;
        for (size_t at = 0; at < bytes.size(); at += maxWorldPiece) {
            part.offset = static_cast<uint32_t>(at);
            part.length = static_cast<uint16_t>(std::min<size_t>(maxWorldPiece, bytes.size() - at));
            std::memcpy(part.bytes, bytes.data() + at, part.length);
            link_.send(i, encodeWorldPart(part));
        }
    }
    forSpectators_.first = frame + 1;
    forSpectators_.count = 0;
}

void NetSession::sendConfirmed(uint32_t frame, const FrameInput& input) {
    if (forSpectators_.count == 0) forSpectators_.first = frame;
    for (int s = 0; s < maxMachines; ++s)
        forSpectators_.players[forSpectators_.count][s] = input.players[s];
    if (++forSpectators_.count == maxBatchFrames) flushSpectators();
}

void NetSession::flushSpectators() {
    if (forSpectators_.count == 0) return;
    std::vector<uint8_t> bytes = encodeConfirmed(forSpectators_);
    for (int i = 0; i < EnetLink::maxPeers; ++i)
        if (remotes_[i].kind == Remote::Kind::spectator && remotes_[i].watching)
            link_.send(i, bytes);
    forSpectators_.first += forSpectators_.count;
    forSpectators_.count = 0;
}

bool NetSession::watchFrame(uint32_t frame, FrameInput& input) {
    if (end_ != SessionEnd::none) return false;
    if (!waitUntil([&] { return frame < watchedFirst_ + watched_.size(); }, "nothing from the host",
                   "stopped watching", pollStepMs))
        return false;
    if (frame < watchedFirst_) return fail(SessionEnd::lost, "asked for a frame before the world");
    watchedNext_ = frame - watchedFirst_ + 1;
    input = watched_[frame - watchedFirst_];
    input.padsAnswering = 3;
    // What was watched is not needed again.
    if (watchedNext_ >= 4096) {
        watched_.erase(watched_.begin(), watched_.begin() + static_cast<long>(watchedNext_));
        watchedFirst_ += static_cast<uint32_t>(watchedNext_);
        watchedNext_ = 0;
    }
    return true;
}

}  // namespace net
