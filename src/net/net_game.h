#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "input/frame_input.h"

class Engine;
class Display;
namespace net {
class NetSession;
}  // namespace net

// The frame loop's one door to online play. Before the first frame it connects and agrees
// the game with the other machine; then every frame it trades this machine's input for the
// commands both games apply, and every 30 frames it compares the two games. The game itself
// never learns that a peer exists.
class NetGame {
public:
    // What the player asked for on the command line.
    struct Settings {
        bool hosting = true;
        std::string joinHost;     // the host to join
        std::string bindAddress;  // the one address a host listens on; empty: all
        int port = -1;            // -1: the default port; a host's 0: any free port
        int delay = 2;            // frames between a key press and the frame it plays in
    };

    NetGame(Settings settings, Engine& engine, Display* display, bool headless);
    ~NetGame();

    // Connects, greets and adopts the host's settings (start tick, at least two players, the
    // better records of both highscore tables). False: the game cannot start (message printed).
    bool connect(uint32_t startTick);
    // The input of frame `frame` of the one game: both machines' input of `delay` frames ago
    // (`local` is this machine's, read through its own bindings). After the network game
    // ended it is this machine's alone.
    FrameInput inputFor(int frame, const FrameInput& local);
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
    uint32_t clock() const { return startTick_ + 33u * frame_; }

private:
    bool showWaiting();
    void sessionEnded();

    Settings settings_;
    Engine& engine_;
    Display* display_;
    bool headless_;
    std::unique_ptr<net::NetSession> session_;
    uint32_t startTick_ = 0;
    uint32_t frame_ = 0;
    bool hosting_ = true;
    bool live_ = false;
    bool ended_ = false;
    bool cancelled_ = false;
    bool waitingShown_ = false;
    static constexpr int noticeLength = 90;  // three seconds
    int noticeFrames_ = 0;
};
