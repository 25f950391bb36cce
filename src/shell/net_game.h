#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "input/frame_input_source.h"
#include "net/input_merge.h"
#include "platform/clock.h"

struct Options;
class Engine;
class Display;
namespace net {
class NetSession;
}  // namespace net

// The frame loop's one door to online play. Before the first frame it connects and agrees
// the game with the other machine; then every frame it trades this machine's input for the
// commands both games apply, and every 30 frames it compares the two games. The game itself
// never learns that a peer exists.
class NetGame : public FrameInputSource {
public:
    NetGame(const Options& options, Engine& engine, Display* display, bool headless);
    ~NetGame();

    // Connects, greets and adopts the host's settings (start tick, at least two players, the
    // better records of both highscore tables). False: the game cannot start (message printed).
    bool connect(uint32_t startTick);
    // Where this machine's own input comes from (the keyboard and pads, or a script).
    void setLocalSource(FrameInputSource* source) { local_ = source; }
    // The agreed commands of `frame`: both machines' input of `delay` frames ago. After the
    // network game ended they are this machine's alone.
    void commandsFor(int frame, std::vector<InputCommand>& out) override;
    void frameDone(int frame);
    // After a frame is on screen: for a few seconds after the network game ended, says so.
    void frameShown();
    // Says goodbye to the peer.
    void finish();

    // The session ended (peer left, lost, desync, bad packet) since the last call.
    bool justEnded();
    // The window was closed while waiting.
    bool cancelled() const { return cancelled_; }
    // The game's own clock: the agreed start tick plus 33 ms a frame, the same on both sides.
    Clock* gameClock() { return &clock_; }

private:
    class FrameClock : public Clock {
    public:
        uint32_t ticks() override { return start + 33u * frame; }
        int64_t wallSeconds() override { return static_cast<int64_t>(ticks() / 1000u); }
        void sleepMs(uint32_t) override {}
        uint32_t start = 0;
        uint32_t frame = 0;
    };

    bool showWaiting();
    net::Typist typist();
    void sessionEnded();

    const Options& options_;
    Engine& engine_;
    Display* display_;
    bool headless_;
    std::unique_ptr<net::NetSession> session_;
    FrameClock clock_;
    net::Typist typist_ = net::Typist::nobody;
    FrameInputSource* local_ = nullptr;
    std::vector<InputCommand> localCommands_;
    bool hosting_ = true;
    bool live_ = false;
    bool ended_ = false;
    bool cancelled_ = false;
    bool waitingShown_ = false;
    bool escapeHeld_ = false;
    bool releasePending_ = false;
    static constexpr int noticeLength = 90;  // three seconds
    int noticeFrames_ = 0;
};
