#pragma once
#include <functional>
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

// Exit status of a run whose --trace file or --stats report could not be written whole (a
// full disk, a closed pipe).
constexpr int exitOutputLost = 3;
