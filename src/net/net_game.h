#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/events.h"
#include "input/frame_input.h"

class Engine;
class Display;
struct World;
namespace net {
class NetSession;
class Rollback;
}  // namespace net

// The frame loop's one door to online play. Before the first frame it connects and agrees
// the game with the other machines; then every frame it trades this machine's input for the
// commands every game applies, and every 30 frames it compares the games. A spectator's
// machine instead starts from the world the host sends and plays the confirmed input. The
// game itself never learns that a peer exists.
class NetGame {
public:
    // What the player asked for on the command line.
    struct Settings {
        bool hosting = true;
        std::string joinHost;     // the host to join
        std::string bindAddress;  // the one address a host listens on; empty: all
        int port = -1;            // -1: the default port; a host's 0: any free port
        int delay = 1;            // frames between a key press and the frame it plays in
        bool lockstep = false;    // every frame waits for the other machine (else rollback)
        bool spectating = false;  // watch the game at joinHost instead of playing in it
        int machines = 2;         // host: how many machines play
    };

    NetGame(Settings settings, Engine& engine, Display* display, bool headless);
    ~NetGame();

    // Connects, greets and adopts the host's settings (start tick, at least two players, the
    // better records of both highscore tables). False: the game cannot start (message printed).
    bool connect(uint32_t startTick);
    // The input of frame `frame` of the one game: both machines' input of `delay` frames ago
    // (`local` is this machine's, read through its own bindings). After the network game
    // ended it is this machine's alone. With rollback the input of the other machine may be
    // predicted, and the world in play may have been corrected first (see takeFrames()).
    FrameInput inputFor(int frame, const FrameInput& local);
    // True while the frames run are predicted ones: the frame loop plays their sounds at once
    // and leaves everything else to the frames' confirmation.
    bool predicting() const;
    // After a predicted frame stepped, with what it did.
    void stepped(int frame, const std::vector<GameEvent>& events);
    // The rollback's news since the last call (a correction and the frames confirmed), or
    // null when there is none.
    const net::Rollback* takeFrames();
    // Time sync: the frame just run should last one frame longer.
    bool slowDown(int frame);
    void frameDone(int frame);
    // After a frame is on screen: for a few seconds after the network game ended, says so.
    void frameShown();
    // Says goodbye to the peer; with rollback, after waiting a little for the other machine's
    // input of the frames up to `lastFrame`, whose confirmation takeFrames() then gives.
    void finish(int lastFrame);

    // The session ended (peer left, lost, desync, bad packet) since the last call.
    bool justEnded();
    // The window was closed while waiting.
    bool cancelled() const { return cancelled_; }
    // The game's own clock: the agreed start tick plus 33 ms a frame, the same on both sides.
    uint32_t clock() const { return startTick_ + 33u * frame_; }
    // The frame the world stands after when the first frame runs: a spectator joining late
    // starts where the players are.
    int startFrame() const { return static_cast<int>(startFrame_); }
    bool spectating() const { return settings_.spectating; }

private:
    bool showWaiting();
    void sessionEnded();
    // Hashes of the frames just confirmed go to the other machine.
    void compareConfirmed();
    void printReport();
    // Host: confirmed frames not yet passed on go to the spectators, and the world to those
    // that just came.
    void serveSpectators(const net::Rollback& rollback);
    // What was gathered for the spectators goes out, and those that just came get `world`,
    // the world after confirmed frame `frame`, to start from.
    void welcomeSpectators(uint32_t frame, const World& world);
    bool loadStartWorld();

    Settings settings_;
    Engine& engine_;
    Display* display_;
    bool headless_;
    std::unique_ptr<net::NetSession> session_;
    uint32_t startTick_ = 0;
    uint32_t frame_ = 0;
    bool hosting_ = true;
    bool live_ = false;
    bool began_ = false;  // the network game began
    bool ended_ = false;
    bool cancelled_ = false;
    bool waitingShown_ = false;
    static constexpr int noticeLength = 90;  // three seconds
    int noticeFrames_ = 0;
    bool fresh_ = false;
    uint32_t startFrame_ = 0;
    uint32_t servedFrame_ = 0;  // the spectators have the input up to here
    FrameInput lastInput_;      // lockstep: the input of the frame running
    uint64_t watchedHash_ = 0;  // spectator: the world after the last frame it watched
    int watchedFrame_ = 0;
};
