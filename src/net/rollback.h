#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/events.h"
#include "input/frame_input.h"
#include "net/net_packet.h"

struct World;

namespace net {

// How many frames the game may run on predicted input before it waits for the other machine.
constexpr uint32_t predictionWindow = 8;

// Online play without waiting: this machine's input plays after its own small delay, the
// other machine's is predicted (its last known input, held) and, when the real one arrives and
// differs, the world in play goes back to the last frame whose input was right and those frames
// are stepped again with what really happened, before the next frame runs.
//
// A frame is confirmed once both machines' input of it is here; everything that leaves the game
// for good (trace, recording, saves, the comparison of the two games) follows confirmed frames
// only. Knows nothing of the network: the session feeds it inputs.
class Rollback {
public:
    // A confirmed frame: its input and what its final step did.
    struct Frame {
        uint32_t frame = 0;
        FrameInput input;
        std::vector<GameEvent> events;
    };
    // The frames stepped again since forgetNews(), and what they did before and after.
    struct Correction {
        uint32_t from = 0;  // 0: none
        uint32_t to = 0;
        std::vector<GameEvent> before;
        std::vector<GameEvent> after;
    };

    // `localDelay` and `peerDelay`: each machine's own input delay; the first frames of each
    // run on no input of that machine. The world in play is taken as it stands as frame 0.
    Rollback(Role role, int localDelay, int peerDelay, uint32_t startTick);
    // A game of `machines` (2 or 3), this one in place `slot` (0: the host), each with its
    // own delay.
    Rollback(int machines, int slot, const int* delays, uint32_t startTick);
    ~Rollback();
    Rollback(const Rollback&) = delete;
    Rollback& operator=(const Rollback&) = delete;

    // The world in play, as the agreed settings left it, is the one the game starts from.
    void startFromHere();
    // This machine's input, read as frame `frame` is about to run; it plays in frame + delay.
    void putLocal(uint32_t frame, const FrameInput& local);
    // The other machine's input of one frame, in any order; repeats are ignored. False (with
    // the reason) for a frame no machine playing by the rules sends.
    bool putRemote(const InputFrame& input, std::string& error);
    // The same for the machine in place `slot` (not this one's).
    bool putRemote(int slot, const InputFrame& input, std::string& error);
    // Every frame of every other machine's input up to this one is here.
    uint32_t remoteKnown() const;
    // ... of the machine in place `slot` (this one's: localKnown()).
    uint32_t known(int slot) const { return known_[slot]; }
    // The input of the machine in place `slot` for a frame up to known(slot).
    const InputFrame& inputOf(int slot, uint32_t frame) const;
    int machines() const { return machines_; }
    int slot() const { return slot_; }
    // This machine's input of frames up to this one exists.
    uint32_t localKnown() const { return known_[slot_]; }
    const InputFrame& localInput(uint32_t frame) const;

    // Frame `frame`, the next to run, stays within the prediction window.
    bool canRun(uint32_t frame) const;
    // Corrects mispredicted frames (see correction()) and confirms what can be confirmed (see
    // confirmed()).
    void catchUp();
    // The correction and confirmed frames were dealt with: the next ones start afresh (until
    // then they add up).
    void forgetNews();
    // Before frame `frame` runs: catchUp(), then the input the frame runs with.
    FrameInput prepare(uint32_t frame);
    // After the world in play stepped `frame` with prepare's input; `events` is what it did.
    void stepped(uint32_t frame, const std::vector<GameEvent>& events);
    // The other machine is gone: what this one predicted is its game now.
    void confirmAll();

    const Correction& correction() const { return correction_; }
    // Frames confirmed since forgetNews(), oldest first.
    const std::vector<Frame>& confirmed() const { return confirmed_; }
    // The world after `frame`, for frames run in the last predictionWindow frames and for
    // those just confirmed.
    const World& worldAfter(uint32_t frame) const;
    uint32_t lastConfirmed() const { return confirmedFrame_; }
    uint32_t lastRun() const { return runFrame_; }

    // For the players' and developers' report.
    int rollbacks() const { return rollbacks_; }
    int longestRollback() const { return longest_; }
    int framesStepped() const { return framesStepped_; }

private:
    static constexpr uint32_t inputSlots = 64;
    static constexpr uint32_t worldSlots = 2 * predictionWindow;
    // What the frame runs with from the machine in place `slot`: its input, or a prediction.
    const InputFrame& inputFor(int slot, uint32_t frame) const;
    FrameInput inputOf(uint32_t frame);
    FrameInput merged(const InputFrame* bySlot, uint32_t frame) const;
    void rewind(uint32_t firstWrong);

    int machines_;
    int slot_;
    uint32_t delay_[maxMachines] = {};
    uint32_t startTick_;
    uint32_t known_[maxMachines] = {};
    uint32_t runFrame_ = 0;
    uint32_t confirmedFrame_ = 0;
    // Each machine's input; a slot holds the frame it names, or an older one.
    InputFrame inputs_[maxMachines][inputSlots];
    InputFrame used_[worldSlots][maxMachines];  // the input each frame ran with
    InputFrame empty_;
    std::unique_ptr<World[]> worlds_;  // the world after each frame
    std::vector<GameEvent> events_[worldSlots];
    Correction correction_;
    std::vector<Frame> confirmed_;
    std::vector<GameEvent> scratch_;
    int rollbacks_ = 0;
    int longest_ = 0;
    int framesStepped_ = 0;
};

// The seed clock of frame `frame` of a network game: what both machines agreed at the start,
// 33 ms a frame, as the frame before left it.
uint32_t agreedClock(uint32_t startTick, uint32_t frame);

}  // namespace net
