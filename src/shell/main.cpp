// parapet: start-up of the program. Reads the command line, chooses the devices (a window
// with SDL, or the deterministic headless backend) and hands over to the game.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_platform.h"
#include "shell/game_run.h"
#include "shell/options.h"
#include "shell/paths.h"
#include "shell/trace.h"

namespace {

void setPaths(const Options& options, const char* argv0) {
    Paths& p = paths();
    p.dataDir = options.dataDir.empty() ? defaultDataDir(argv0) : options.dataDir;
    p.saveDir = options.saveDir.empty() ? defaultSaveDir() : options.saveDir;
    p.screenshotDir = options.screenshotDir.empty()
                          ? (std::filesystem::path(p.saveDir) / "screenshots").string()
                          : options.screenshotDir;
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

    if (!options.traceFile.empty() && !openTrace(options.traceFile.c_str())) {
        std::fprintf(stderr, "parapet: cannot write the trace file %s\n",
                     options.traceFile.c_str());
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
        return runGame(options, platform, &devices, &script);
    }

    SdlSettings settings;
    settings.fullscreen = options.fullscreen;
    settings.scale = options.scale;
    std::string error;
    if (!createSdlPlatform(settings, platform, error)) {
        std::fprintf(stderr,
                     "parapet: cannot open a display (%s); use --headless to run without one\n",
                     error.c_str());
        closeTrace();
        return 2;
    }
    return runGame(options, platform, nullptr, nullptr);
}
