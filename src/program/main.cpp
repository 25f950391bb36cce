// parapet: start-up of the program. Reads the command line, chooses the devices (a window
// with SDL, or the deterministic headless backend) and hands over to the game.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_platform.h"
#include "base/atomic_file.h"
#include "program/data_dir_check.h"
#include "base/data_hash.h"
#include "program/game_run.h"
#include "program/options.h"
#include "base/paths.h"
#include "base/quote_text.h"
#include "recording/recording.h"
#include "program/settings.h"
#include "base/trace.h"
#include "program/window_icon.h"

namespace {

void setPaths(const Options& options, const char* argv0) {
    Paths& p = paths();
    p.dataDir = options.dataDir.empty() ? defaultDataDir(argv0) : options.dataDir;
    p.saveDir = options.saveDir.empty() ? defaultSaveDir() : options.saveDir;
    p.screenshotDir = options.screenshotDir.empty()
                          ? (std::filesystem::path(p.saveDir) / "screenshots").string()
                          : options.screenshotDir;
}

// The settings file fills in what the command line left open; a bad line costs only itself.
void readSettingsFile(Options& options) {
    bool named = !options.configFile.empty();
    if (!named) options.configFile = defaultSettingsPath();
    if (options.configFile.empty()) return;
    if (named && !std::filesystem::exists(options.configFile))
        std::fprintf(stderr, "parapet: settings file %s not found; the defaults are used\n",
                     quotePath(options.configFile).c_str());
    std::vector<std::string> problems;
    loadSettings(options.configFile, options, keyCodeFromName, problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
}

// One message naming where the game looked, rather than one per file it then cannot find.
int checkDataDir(const Options& options) {
    const std::string& dir = paths().dataDir;
    std::string problem = dataDirProblem(dir);
    if (problem.empty()) return 0;
    const char* source =
        !options.dataDir.empty() ? "given by --data"
        : std::getenv("PARAPET_DATA") != nullptr && *std::getenv("PARAPET_DATA") != '\0'
            ? "given by PARAPET_DATA"
            : "beside the program";
    std::fprintf(stderr,
                 "parapet: no game data in %s (%s): it %s; use --data DIR or PARAPET_DATA to point "
                 "at the game's data\n",
                 quotePath(dir).c_str(), source, problem.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    ParseResult parsed = parseOptions(argc, argv, options);
    if (parsed.outcome == ParseOutcome::exitOk) {
        std::fputs(parsed.text.c_str(), stdout);
        return 0;
    }
    if (parsed.outcome == ParseOutcome::usageError) {
        std::fputs(parsed.text.c_str(), stderr);
        return 2;
    }
    setPaths(options, argc > 0 ? argv[0] : nullptr);
    readSettingsFile(options);
    if (int status = checkDataDir(options); status != 0) return status;

    // A bad script must stop the run before its first frame.
    InputScript script;
    if (!options.inputFile.empty()) {
        std::string error;
        if (!loadInputScript(options.inputFile, script, error) ||
            !checkScriptJoysticks(script, options.net != Options::Net::off ? 3 : options.joysticks,
                                  error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
    }

    // A recording that cannot be played as it was recorded is refused before anything opens.
    Recording playback;
    RunInput input;
    if (!options.replayFile.empty()) {
        std::string error;
        if (!loadRecording(options.replayFile, playback, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
        if (!recordingPlaysHere(playback, dataFilesHash(), error)) {
            std::fprintf(stderr, "parapet: cannot play the recording %s: %s\n",
                         quotePath(options.replayFile).c_str(), error.c_str());
            return 2;
        }
        input.playback = &playback;
        options.startTick = playback.startTick;
        options.joysticks = playback.joysticks;
    }

    // A recording that could not be written at the end would lose the whole run: say so now.
    if (!options.recordFile.empty()) {
        std::string target, error;
        if (!replaceableFile(options.recordFile, target, error)) {
            std::fprintf(stderr, "parapet: cannot write the recording %s: %s\n",
                         quotePath(options.recordFile).c_str(), error.c_str());
            return 2;
        }
    }

    if (!options.traceFile.empty() && !openTrace(options.traceFile.c_str())) {
        std::fprintf(stderr, "parapet: cannot write the trace file %s: %s\n",
                     quotePath(options.traceFile).c_str(), std::strerror(errno));
        return 2;
    }

    Platform platform;
    if (options.headless) {
        HeadlessSettings settings;
        settings.startTick = options.startTick;
        settings.joysticks = options.joysticks;
        // Both machines of a network game offer the same players, controllers or not.
        if (options.net != Options::Net::off) settings.joysticks = 3;
        HeadlessDevices devices = createHeadlessPlatform(settings, platform);
        return runGame(options, platform, &devices, &script, input);
    }

    SdlSettings settings;
    settings.fullscreen = options.fullscreen;
    settings.scale = options.scale;
    settings.windowClass = PARAPET_APP_ID;
    std::string error;
    if (!createSdlPlatform(settings, platform, error)) {
        std::fprintf(stderr,
                     "parapet: cannot open a display (%s); use --headless to run without one\n",
                     error.c_str());
        closeTrace();
        return 2;
    }
    showWindowIcon(*platform.display);
    return runGame(options, platform, nullptr, nullptr, input);
}
