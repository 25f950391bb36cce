// parapet in a browser page. The page (web/page.js) unpacks the data into /data, loads the
// save directory from IndexedDB into /save and then calls main with the command line its
// address asked for. A run in the page is stepped by the browser's frame callback; a
// headless run (the tests' deterministic one) runs to its end inside main, as natively.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/data_hash.h"
#include "base/paths.h"
#include "base/trace.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"
#include "platform/platform.h"
#include "platform/web/web_display.h"
#include "platform/web/web_keys.h"
#include "platform/web/web_page.h"
#include "platform/web/web_platform.h"
#include "program/data_dir_check.h"
#include "program/frame_pacing.h"
#include "program/game_run.h"
#include "program/options.h"
#include "program/settings.h"
#include "recording/recording.h"

namespace {

struct Run {
    Options options;
    InputScript script;
    Recording playback;
    RunInput input;
    Platform platform;
    std::unique_ptr<SteppedRun> stepped;
};

// What the native main does before the devices open, with the page's own directories.
int prepare(Run& run) {
    Options& options = run.options;
    Paths& p = paths();
    p.dataDir = "/data";
    p.saveDir = options.saveDir.empty() ? "/save" : options.saveDir;
    p.screenshotDir =
        options.screenshotDir.empty() ? p.saveDir + "/screenshots" : options.screenshotDir;
    if (options.configFile.empty()) options.configFile = p.saveDir + "/parapet.ini";
    std::vector<std::string> problems;
    loadSettings(options.configFile, options, webKeyCodeFromName, problems);
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
    if (std::string problem = dataDirProblem(p.dataDir); !problem.empty()) {
        std::fprintf(stderr, "parapet: the page's game data is incomplete: it %s\n",
                     problem.c_str());
        return 1;
    }
    std::string error;
    if (!options.inputFile.empty() &&
        (!loadInputScript(options.inputFile, run.script, error) ||
         !checkScriptJoysticks(run.script, options.joysticks, error))) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (!options.replayFile.empty()) {
        if (!loadRecording(options.replayFile, run.playback, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
        if (!recordingPlaysHere(run.playback, dataFilesHash(), error)) {
            std::fprintf(stderr, "parapet: cannot play the recording %s: %s\n",
                         options.replayFile.c_str(), error.c_str());
            return 2;
        }
        run.input.playback = &run.playback;
        options.startTick = run.playback.startTick;
        options.joysticks = run.playback.joysticks;
    }
    if (!options.traceFile.empty() && !openTrace(options.traceFile.c_str())) {
        std::fprintf(stderr, "parapet: cannot write the trace file %s\n",
                     options.traceFile.c_str());
        return 2;
    }
    return 0;
}

int runHeadless(Run& run) {
    HeadlessSettings settings;
    settings.startTick = run.options.startTick;
    settings.joysticks = run.options.joysticks;
    HeadlessDevices devices = createHeadlessPlatform(settings, run.platform);
    int status = runGame(run.options, run.platform, &devices, &run.script, run.input);
    std::vector<uint32_t> rgba;
    drawOnPage(run.platform.display->frontSurface(), rgba);
    keepSavesOnPage();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    auto run = std::make_unique<Run>();
    ParseResult parsed = parseOptions(argc, argv, run->options);
    if (parsed.outcome != ParseOutcome::run) {
        std::fputs(parsed.text.c_str(), parsed.outcome == ParseOutcome::exitOk ? stdout : stderr);
        return parsed.outcome == ParseOutcome::exitOk ? 0 : 2;
    }
    if (int status = prepare(*run); status != 0) return status;
    if (run->options.headless) return runHeadless(*run);

    WebAudio* audio = createWebPlatform(run->platform);
    run->stepped = std::make_unique<SteppedRun>(run->options, run->platform, run->input);
    if (!run->stepped->begin()) return run->stepped->end();
    // Lives until the page is closed; main returns and the page steps the run.
    Run* page = run.release();
    runAtBrowserRefresh(
        frameMillis, audio, [page] { return page->stepped->frame(); },
        [page] { return page->stepped->end(); });
    return 0;
}
