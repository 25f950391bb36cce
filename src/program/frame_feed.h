#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "input/device_input.h"
#include "input/frame_input.h"
#include "input/frame_input_source.h"

class InputCapture;

class RecordedInput;
struct Options;
struct Platform;
struct HeadlessDevices;
struct InputScript;
struct Recording;
struct RunInput;

// Where each frame's input comes from: the commands of the frame (from the real keyboard and
// controllers through the capture, from a script, or from a test's own source), applied to
// the devices the game reads through the players' bindings; or, in a playback, the
// recording's input, with the viewer's own keys only steering the playback.
class FrameFeed {
public:
    FrameFeed(const Options& options, Platform& platform, const HeadlessDevices* headless,
              const InputScript* script, const RunInput& input);
    ~FrameFeed();

    DeviceInput& devices() { return *input_; }
    // Reads this frame's commands; a playback in a window also reads the viewer's keys.
    void readCommands(int frame);
    const std::vector<InputCommand>& commands() const { return commands_; }
    // Whether a key or button went down (or a stick moved) in this frame's commands.
    bool anyPress() const;
    // What the players hold is let go for the game from the next read on (it was never
    // pressed there), so a key that ended the demo does not also act in the menu.
    void releaseHeldNext() { releaseHeld_ = true; }
    // The players' input of the frame, with the clock a new game takes its seed from.
    FrameInput read(int frame, uint32_t clock);
    // Hands the frame's commands to whoever asked to see them (the tests).
    void report(int frame);

    // A controller plugged in during the run shows up for the game too, and one pulled out
    // stops answering.
    void followControllers();
    // Offers newly plugged controllers to the game after the frame.
    void afterFrame();
    // Traces the keys and players' controls that changed in the frame just read.
    void traceChanges();
    // Pauses a live game through its input (so recordings and the other machine of a
    // network game pause on the same frame). Nothing for scripted input or a playback.
    void tapPauseKey();
    bool live() const { return capture_ != nullptr; }

    // The viewer of a playback pressed Escape, or toggled four-times speed with Space.
    bool leaveRequested() const { return leaveRequested_; }
    bool fast() const { return fast_; }

private:
    void watchPlaybackKeys();

    Platform& platform_;
    std::function<void(int, const std::vector<InputCommand>&)> onFrameInput_;
    FrameInputSource* source_ = nullptr;
    std::unique_ptr<ScriptInputSource> scriptSource_;
    std::unique_ptr<InputCapture> capture_;
    std::unique_ptr<DeviceInput> input_;
    std::unique_ptr<RecordedInput> playbackInput_;
    std::vector<InputCommand> commands_;
    bool releaseHeld_ = false;
    bool leaveRequested_ = false;
    bool fast_ = false;
    bool spaceHeld_ = false;
    bool keySeen_[256] = {};
    uint32_t directionsSeen_[inputPlayers] = {};
    uint32_t buttonsSeen_[inputPlayers] = {};
};

// The most players the menu offers: a third player needs a third joystick.
constexpr int maxJoysticksUsed = 3;
