#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "input/default_bindings.h"
#include "platform/display.h"
#include "program/extras.h"

// Everything the command line can say, parsed once at start-up; game code never sees argv.
struct Options {
    bool fullscreen = true;
    int scale = 2;
    std::string dataDir;        // empty: $PARAPET_DATA or beside the executable
    std::string saveDir;        // empty: the XDG data directory
    std::string screenshotDir;  // empty: <save directory>/screenshots
    std::string logFile;        // empty: no diagnostic log
    bool headless = false;
    int frames = 0;  // 0: no limit
    std::string inputFile;
    std::string traceFile;
    bool traceInput = false;  // key and control changes in the trace (scenario tests)
    int joysticks = 0;
    uint32_t startTick = 0;
    std::vector<int> screenshotFrames;  // ascending, without duplicates
    bool stats = false;
    // Each game kept in the replays (off only for the long unattended runs of the soak and
    // its test, where a game's growing recording would hide a leak).
    bool keepReplays = true;

    // The settings file (shell/settings.h) and what it sets where the command line is silent.
    std::string configFile;        // --config; empty: the XDG config directory's parapet.ini
    bool windowModeGiven = false;  // --windowed or --fullscreen given
    bool scaleGiven = false;
    int musicVolume = 100;  // percent
    int effectsVolume = 100;
    bool soundWanted = true;  // false: run silently
    FitMode fitMode = FitMode::automatic;
    bool scanlines = false;
    Extras extras;
    PlayerKeys playerKeys[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
    PadButtons playerPads[keyboardPlayers];
    // Recordings
    std::string recordFile;  // --record: the whole run's recording, written at its end
    std::string replayFile;  // --replay: play this recording instead of the players' input
    // Online play: host a game or join one (see src/net/).
    enum class Net { off, host, join, spectate };
    Net net = Net::off;
    int netPort = -1;         // -1: the default port; --host 0: any free port (printed)
    std::string joinHost;     // --join, --spectate: the host's name or address
    int netMachines = 2;      // --machines: how many machines a host's game is played on
    std::string bindAddress;  // --bind: the one address a host listens on; empty: all
    int syncTestFrames = 0;   // --sync-test: frames rolled back and played again, 0: none
    int netDelay = -1;  // frames between a key press and the frame it plays in; -1: the mode's
    enum class NetMode { rollback, lockstep };
    NetMode netMode = NetMode::rollback;
    bool netModeGiven = false;  // --net-mode given: the settings file's mode is not used
    int pacePercent = 0;  // --pace: headless frames in real time at this percent of the speed
    int effectiveNetDelay() const {
        if (netDelay >= 0) return netDelay;
        return netMode == NetMode::rollback ? 1 : 2;
    }
};

enum class ParseOutcome {
    run,        // go on with the options
    exitOk,     // --help or --version: print `text` on stdout, exit 0
    usageError  // print `text` on stderr, exit 2
};

struct ParseResult {
    ParseOutcome outcome = ParseOutcome::run;
    std::string text;
};

ParseResult parseOptions(int argc, const char* const* argv, Options& options);
std::string usageText();
