#pragma once

struct Options;
struct Platform;
struct HeadlessDevices;
struct InputScript;

// The whole life of the game on the given devices: start-up in its fixed order, the paced
// frame loop until the menu's Quit, a closed window or the last frame asked for, then the
// end of the trace and the statistics. `headless` and `script` are null for a windowed run.
// Returns the exit code.
int runGame(const Options& options, Platform& platform, const HeadlessDevices* headless,
            const InputScript* script);

// Exit status of a run whose --trace file could not be written whole (a full disk).
constexpr int exitTraceLost = 3;
