#include "net/net_game.h"

#include <utility>

#include <cstdio>
#include <cstdlib>

#include "actors/animation_table.h"
#include "actors/font.h"
#include "engine/engine.h"
#include "rules/highscore_table.h"
#include "rules/game_state.h"
#include "world/world_compare.h"
#include "net/net_session.h"
#include "platform/display.h"
#include "base/data_hash.h"
#include "base/log.h"
#include "base/paths.h"
#include "base/quote_text.h"

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
    settings.hostName = settings_.joinHost;
    settings.bindAddress = settings_.bindAddress;
    settings.port =
        settings_.port >= 0 ? static_cast<uint16_t>(settings_.port) : net::defaultPort;
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
    settings.hello.delay = static_cast<uint8_t>(settings_.delay);
    settings.hello.minPlayers = 2;
    encodeHighscores(settings.hello.highscores);

    // A host's window says what it waits for until the guest is there.
    session_->keepConnecting = [this] { return headless_ || showWaiting(); };
    session_->onListening = [](uint16_t port) {
        std::fprintf(stderr, "parapet: hosting on port %u, waiting for the other player\n",
                     static_cast<unsigned>(port));
        std::fflush(stderr);
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
    std::fprintf(stderr, "parapet: %s, input delay %d frames\n",
                 hosting_ ? "the other player joined" : "joined the game", agreed.delay);
    logFormat("network game with %s, delay %d, start tick %u\n", peer.version.c_str(), agreed.delay,
              agreed.startTick);
    startTick_ = agreed.startTick;
    game.minPlayers = agreed.minPlayers;
    if (game.numPlayers < game.minPlayers) game.numPlayers = game.minPlayers;
    // Both tables end the same: ours against theirs, ties going to the host's record.
    keepBetterHighscores(peer.highscores, !hosting_);
    live_ = true;
    return true;
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
    if (live_) {
        if (session_->exchange(static_cast<uint32_t>(frame), local, input)) {
            input.padsAnswering = 3;
            return input;
        }
        sessionEnded();
    }
    input = local;
    // Alone again: Escape ends the level the two machines were playing, and the game's own
    // way from there leads to the results and back to the menu.
    if (!headless_ && game.gameState == statePlay) input.players[0].keys |= gameKeyBit(1);
    return input;
}

void NetGame::frameDone(int frame) {
    if (!live_) return;
    uint32_t f = static_cast<uint32_t>(frame);
    uint64_t hash = f % net::hashInterval == 0 ? worldHash(theWorld) : 0;
    if (!session_->frameDone(f, hash)) sessionEnded();
}

void NetGame::sessionEnded() {
    live_ = false;
    ended_ = true;
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

void NetGame::finish() {
    if (live_) session_->finish();
    live_ = false;
}
