#pragma once
#include <functional>
#include <memory>
#include <vector>

class FrameInputSource;
struct Recording;
struct InputCommand;
struct Options;
struct Platform;
struct HeadlessDevices;
struct InputScript;

// The whole life of the game on the given devices: start-up in its fixed order, the paced
// frame loop until the menu's Quit, a closed window or the last frame asked for, then the
// end of the trace and the statistics. `headless` and `script` are null for a windowed run.
// Returns the exit code.
//
// Input goes through one seam (input/frame_input_source.h): each frame's commands come from
// `input.source` if given, else from the real keyboard and controllers (window) or the
// script (headless); they are applied to the devices the game reads and then passed to
// `input.onFrameInput`.
struct RunInput {
    FrameInputSource* source = nullptr;
    std::function<void(int frame, const std::vector<InputCommand>& commands)> onFrameInput;
    // Plays this recording instead (--replay): its commands, seeds and records; no demo,
    // nothing recorded, no highscore written. The run ends after its last frame.
    const Recording* playback = nullptr;
};
int runGame(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script, const RunInput& input = {});

// The same run for a backend that calls it once per frame at its own pace (a browser's frame
// callback) instead of letting runGame loop and wait.
class GameRun;
class SteppedRun {
public:
    SteppedRun(const Options& options, Platform& platform, const RunInput& input = {});
    ~SteppedRun();
    // Start-up; false when the game cannot start (then call end() for the exit status).
    bool begin();
    // One frame; false once the run is over.
    bool frame();
    // The end of the run; returns the exit status.
    int end();

private:
    std::unique_ptr<GameRun> run_;
};

// Exit status of a run whose --trace file or --stats report could not be written whole (a
// full disk, a closed pipe).
constexpr int exitOutputLost = 3;
// Exit status of a sync test (--sync-test) that found a frame playing differently again.
constexpr int exitSyncLost = 4;
