#include "net/net_game.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "actors/animation_table.h"
#include "actors/font.h"
#include "base/data_hash.h"
#include "base/log.h"
#include "base/paths.h"
#include "base/quote_text.h"
#include "engine/engine.h"
#include "net/net_session.h"
#include "net/rollback.h"
#include "platform/display.h"
#include "rules/game_state.h"
#include "rules/highscore_table.h"
#include "world/world_compare.h"

#ifndef PARAPET_VERSION
#define PARAPET_VERSION "unknown"
#endif

namespace {

// Two lines in the game font over the picture on screen (the game's own frame stays beneath,
// so the players see where it stopped).
void drawNotice(Engine& engine, const char* first, const char* second) {
    if (gameFont == nullptr) return;
    const char* lines[2] = {first, second};
    const int advance = gameFont->cellWidth() - 8;
    const int lineHeight = gameFont->cellHeight() + 8;
    int y = (engine.screenHeight() - 2 * lineHeight) / 2;
    for (const char* line : lines) {
        int length = static_cast<int>(std::char_traits<char>::length(line));
        int x = (engine.screenWidth() - length * advance) / 2;
        for (const char* p = line; *p != '\0'; ++p, x += advance)
            engine.drawCell(gameFont->sheet(), gameFont->cellFor(*p), x, y, false, false,
                            engine.frontSurface(), true);
        y += lineHeight;
    }
    engine.touched(engine.frontSurface());
}

}  // namespace

NetGame::NetGame(Settings settings, Engine& engine, Display* display, bool headless)
    : settings_(std::move(settings)),
      engine_(engine),
      display_(display),
      headless_(headless),
      session_(std::make_unique<net::NetSession>()) {}

NetGame::~NetGame() = default;

bool NetGame::connect(uint32_t startTick) {
    hosting_ = settings_.hosting;
    net::SessionSettings settings;
    settings.hosting = hosting_;
    settings.spectating = settings_.spectating;
    settings.machines = settings_.machines;
    settings.hostName = settings_.joinHost;
    settings.bindAddress = settings_.bindAddress;
    settings.port = settings_.port >= 0 ? static_cast<uint16_t>(settings_.port) : net::defaultPort;
    // A window waits for its guest until it is closed; a headless host gives up in time.
    settings.connectTimeoutMs = hosting_ ? (headless_ ? 60000 : 0) : 10000;
    settings.hello.version = PARAPET_VERSION;
    std::string dataHash = dataFilesHash();
    char* end = nullptr;
    settings.hello.dataHash = std::strtoull(dataHash.c_str(), &end, 16);
    if (dataHash.empty() || end == nullptr || *end != '\0') {
        std::fprintf(stderr, "parapet: network game: cannot read the data files in %s (%s)\n",
                     quotePath(paths().dataDir).c_str(), dataHash.c_str());
        return false;
    }
    settings.hello.startTick = startTick;
    settings.hello.mode = settings_.lockstep ? net::Mode::lockstep : net::Mode::rollback;
    settings.hello.delay = static_cast<uint8_t>(settings_.delay);
    settings.hello.minPlayers = static_cast<uint8_t>(settings_.machines);
    encodeHighscores(settings.hello.highscores);

    // A host's window says what it waits for until the guests are there.
    session_->keepConnecting = [this] { return headless_ || showWaiting(); };
    int others = settings_.machines - 1;
    session_->onListening = [others](uint16_t port) {
        std::fprintf(stderr, "parapet: hosting on port %u, waiting for %s\n",
                     static_cast<unsigned>(port),
                     others > 1 ? "the other players" : "the other player");
        std::fflush(stderr);
    };
    // Every machine judges records against one table: the better records of all of them, the
    // host's standing on a tie.
    session_->agreeTables = [](const std::vector<net::Hello>& guests, uint8_t* table) {
        for (const net::Hello& guest : guests) keepBetterHighscores(guest.highscores, false);
        encodeHighscores(table);
    };
    session_->onWaiting = [this] { return showWaiting(); };
    session_->onNotice = [](const std::string& line) {
        std::fprintf(stderr, "parapet: %s\n", line.c_str());
        logFormat("%s\n", line.c_str());
    };

    net::Hello agreed, peer;
    if (!session_->start(settings, agreed, peer)) {
        std::fprintf(stderr, "parapet: network game: %s\n", session_->message().c_str());
        logFormat("network game: %s\n", session_->message().c_str());
        cancelled_ = session_->end() == net::SessionEnd::cancelled;
        return false;
    }
    const char* mode = session_->mode() == net::Mode::rollback ? "rollback" : "lockstep";
    startTick_ = agreed.startTick;
    if (settings_.spectating) {
        if (!loadStartWorld()) return false;
        std::fprintf(stderr, "parapet: watching the game from frame %u\n", startFrame_ + 1);
        logFormat("watching a network game from frame %u, start tick %u\n", startFrame_ + 1,
                  agreed.startTick);
        live_ = began_ = true;
        return true;
    }
    int machines = session_->machines();
    std::string who = !hosting_
                          ? "joined the game as player " + std::to_string(session_->slot() + 1)
                      : machines > 2 ? "the other players joined"
                                     : "the other player joined";
    std::fprintf(stderr, "parapet: %s, %s, input delay %d frames\n", who.c_str(), mode,
                 session_->delay());
    logFormat("network game with %s, %s, delay %d, start tick %u, %d machines, place %d\n",
              peer.version.c_str(), mode, session_->delay(), agreed.startTick, machines,
              session_->slot());
    game.minPlayers = agreed.minPlayers;
    if (machines > 2) game.minPlayers = game.maxPlayers = static_cast<uint8_t>(machines);
    if (game.numPlayers < game.minPlayers) game.numPlayers = game.minPlayers;
    // The host's table is already the better of all; a guest's ties go to it.
    if (!hosting_) keepBetterHighscores(session_->agreedTable(), true);
    // A correction reaching back to the first frame starts from the game so agreed.
    if (net::Rollback* rollback = session_->rollback()) rollback->startFromHere();
    live_ = began_ = true;
    return true;
}

bool NetGame::loadStartWorld() {
    const std::vector<uint8_t>& bytes = session_->startWorld();
    bool whole =
        worldFromBytes(theWorld, bytes) && worldHash(theWorld) == session_->startWorldHash();
    if (!whole) {
        std::fprintf(stderr,
                     "parapet: network game: the game the host sent did not arrive whole (its "
                     "hash differs); try again\n");
        logLine("network game: the world from the host did not match its hash\n");
        session_->finish();
        return false;
    }
    engine_.redrawBackground();
    startFrame_ = session_->startWorldFrame();
    frame_ = startFrame_ > 0 ? startFrame_ - 1 : 0;
    return true;
}

void NetGame::serveSpectators(const net::Rollback& rollback) {
    for (const net::Rollback::Frame& f : rollback.confirmed()) {
        if (f.frame <= servedFrame_) continue;
        session_->sendConfirmed(f.frame, f.input);
        servedFrame_ = f.frame;
    }
    uint32_t frame = rollback.lastConfirmed();
    welcomeSpectators(frame, rollback.worldAfter(frame));
}

void NetGame::welcomeSpectators(uint32_t frame, const World& world) {
    session_->flushSpectators();
    if (session_->spectatorsWaiting())
        session_->sendWorld(frame, worldBytes(world), worldHash(world));
}

bool NetGame::showWaiting() {
    if (display_ != nullptr) {
        display_->pumpEvents();
        if (display_->closeRequested()) {
            cancelled_ = true;
            return false;
        }
    }
    if (!waitingShown_) logLine("waiting for the other player\n");
    waitingShown_ = true;
    if (headless_) return true;
    // Drawn again each time: a window uncovered meanwhile shows it too.
    drawNotice(engine_, "WAITING FOR THE", "OTHER PLAYER");
    if (display_ != nullptr) display_->present();
    return true;
}

FrameInput NetGame::inputFor(int frame, const FrameInput& local) {
    frame_ = static_cast<uint32_t>(frame > 0 ? frame - 1 : 0);
    waitingShown_ = false;
    FrameInput input;
    if (live_ && settings_.spectating) {
        if (session_->watchFrame(static_cast<uint32_t>(frame), input)) return input;
        sessionEnded();
    } else if (live_ && session_->rollback() != nullptr) {
        session_->rollback()->forgetNews();
        if (session_->prepareFrame(static_cast<uint32_t>(frame), local, input)) {
            fresh_ = true;
            compareConfirmed();
            if (live_) return input;
        } else {
            sessionEnded();
        }
    } else if (live_) {
        if (session_->exchange(static_cast<uint32_t>(frame), local, input)) {
            input.padsAnswering = 3;
            lastInput_ = input;
            return input;
        }
        sessionEnded();
    }
    input = local;
    // Alone again: Escape ends the level the two machines were playing, and the game's own
    // way from there leads to the results and back to the menu.
    if (!headless_ && game.gameState == statePlay && !settings_.spectating)
        input.players[0].keys |= gameKeyBit(1);
    // A spectator's game ends where the players' did; its own input never plays.
    if (settings_.spectating) input = FrameInput{};
    return input;
}

bool NetGame::predicting() const {
    return live_ && !settings_.spectating && session_->rollback() != nullptr;
}

void NetGame::stepped(int frame, const std::vector<GameEvent>& events) {
    if (predicting()) session_->rollback()->stepped(static_cast<uint32_t>(frame), events);
}

const net::Rollback* NetGame::takeFrames() {
    if (!fresh_) return nullptr;
    fresh_ = false;
    return session_->rollback();
}

bool NetGame::slowDown(int frame) {
    return predicting() && session_->slowDown(static_cast<uint32_t>(frame));
}

void NetGame::compareConfirmed() {
    net::Rollback& rollback = *session_->rollback();
    for (const net::Rollback::Frame& f : rollback.confirmed()) {
        if (f.frame % net::hashInterval != 0) continue;
        if (!session_->frameDone(f.frame, worldHash(rollback.worldAfter(f.frame)))) {
            sessionEnded();
            return;
        }
    }
    if (hosting_) serveSpectators(rollback);
}

void NetGame::frameDone(int frame) {
    // A spectator's run ends while it reads a frame that never comes: what it watched is the
    // world as the last frame left it.
    if (live_ && settings_.spectating) {
        watchedHash_ = worldHash(theWorld);
        watchedFrame_ = frame;
    }
    if (!live_ || session_->rollback() != nullptr || settings_.spectating) return;
    uint32_t f = static_cast<uint32_t>(frame);
    uint64_t hash = f % net::hashInterval == 0 ? worldHash(theWorld) : 0;
    if (!session_->frameDone(f, hash)) {
        sessionEnded();
        return;
    }
    if (!hosting_) return;
    // Lockstep: every frame run is confirmed.
    session_->sendConfirmed(f, lastInput_);
    welcomeSpectators(f, theWorld);
}

void NetGame::sessionEnded() {
    bool wasLive = live_;
    live_ = false;
    ended_ = true;
    if (net::Rollback* rollback = session_->rollback(); rollback != nullptr && wasLive) {
        // What arrived still counts; the rest of what this machine ran is its game now.
        rollback->catchUp();
        rollback->confirmAll();
        fresh_ = true;
        printReport();
    }
    if (cancelled_) return;
    noticeFrames_ = noticeLength;
    std::fprintf(stderr, "parapet: network game over: %s\n", session_->message().c_str());
    logFormat("network game over: %s\n", session_->message().c_str());
    if (session_->end() == net::SessionEnd::desync)
        logFormat("state hashes: this machine %016llx, the other %016llx\n",
                  static_cast<unsigned long long>(session_->localHashAtDesync()),
                  static_cast<unsigned long long>(session_->remoteHashAtDesync()));
    game.minPlayers = 1;
}

void NetGame::frameShown() {
    if (noticeFrames_ <= 0 || headless_) return;
    --noticeFrames_;
    drawNotice(engine_, "NETWORK GAME", "OVER");
    if (display_ != nullptr) display_->present();
}

bool NetGame::justEnded() {
    bool ended = ended_;
    ended_ = false;
    return ended;
}

void NetGame::finish(int lastFrame) {
    if (live_ && session_->rollback() != nullptr) {
        net::Rollback& rollback = *session_->rollback();
        rollback.forgetNews();
        session_->settle(static_cast<uint32_t>(lastFrame));
        rollback.catchUp();
        compareConfirmed();
        if (live_) {
            rollback.confirmAll();
            if (hosting_) serveSpectators(rollback);
            fresh_ = true;
            printReport();
        }
    }
    if (live_) session_->finish();
    live_ = false;
    if (!began_) return;
    // What the game came to, for comparing the machines' games, spectators' too.
    char line[120];
    uint64_t hash = worldHash(theWorld);
    if (settings_.spectating) {
        lastFrame = watchedFrame_;
        hash = watchedHash_;
    }
    std::snprintf(line, sizeof line, "network game: the world after frame %d hashes to %016llx\n",
                  lastFrame, static_cast<unsigned long long>(hash));
    std::fprintf(stderr, "parapet: %s", line);
    logLine(line);
}

void NetGame::printReport() {
    const net::SessionReport& r = session_->report();
    char line[240];
    std::snprintf(line, sizeof line,
                  "network game: waited %d times, %d of them after the first second (frames %d "
                  "to %d; the longest wait %d ms), %d rollbacks (the longest %d frames), slowed "
                  "down %d frames\n",
                  r.waits, r.lateWaits, r.firstLateWait, r.lastLateWait, r.longestWaitMs,
                  r.rollbacks, r.longestRollback, r.slowdowns);
    std::fprintf(stderr, "parapet: %s", line);
    logLine(line);
}
