#include "shell/event_output.h"

#include <cstdio>
#include <string>

#include "engine/engine.h"
#include "engine/screenshot.h"
#include "frontend/highscores.h"
#include "frontend/screenshot_button.h"
#include "platform/audio.h"
#include "shell/log.h"
#include "shell/quote_text.h"
#include "shell/trace.h"
#include "sound/sound.h"

namespace {

std::string field(const char* name, int value) {
    return std::string("\"") + name + "\":" + std::to_string(value);
}

void traceGameEvent(const GameEvent& e) {
    if (!traceEnabled()) return;
    switch (e.kind) {
        case EventKind::state:
            traceState(e.a, e.b);
            break;
        case EventKind::score:
            traceScore(e.a, e.b);
            break;
        case EventKind::spawn:
            traceEvent("spawn",
                       field("climber", e.a) + "," + field("targetX", e.b) + "," + field("dir", e.c));
            break;
        case EventKind::pickup:
            traceEvent("pickup", field("player", e.a) + ",\"side\":" +
                                     (e.b == 0 ? "\"left\"" : "\"right\""));
            break;
        case EventKind::throwBall:
            traceEvent("throw",
                       field("player", e.a) + "," + field("ball", e.b) + "," + field("x", e.c));
            break;
        case EventKind::hit:
            traceEvent("hit", field("climber", e.a) + "," + field("ball", e.b) + "," +
                                  field("owner", e.c) + "," + field("hits", e.d));
            break;
        case EventKind::cut:
            traceEvent("cut", field("climber", e.a) + "," + field("player", e.b));
            break;
        case EventKind::struck:
            traceEvent("struck", field("player", e.a) + "," + field("climber", e.b));
            break;
        case EventKind::dead:
            traceEvent("dead", field("player", e.a));
            break;
        case EventKind::pause:
            traceEvent("pause", "");
            break;
        case EventKind::resume:
            traceEvent("resume", "");
            break;
        default:
            break;
    }
}

}  // namespace

void EventOutput::perform(const GameEvent& e, Writes writes) {
    switch (e.kind) {
        case EventKind::sound:
            sound(e);
            return;
        case EventKind::log:
            logLine(e.text);
            return;
        case EventKind::pause:
        case EventKind::resume:
            // The whole device stands still, so music and the chainsaw go on where they were.
            if (AudioOutput* audio = soundDevice()) audio->setPaused(e.kind == EventKind::pause);
            break;
        case EventKind::saveHighscores:
            if (writes == Writes::everything) saveHighscores();
            return;
        case EventKind::screenshot:
            if (writes == Writes::everything) screenshot(e);
            return;
        default:
            break;
    }
    traceGameEvent(e);
}

void EventOutput::sound(const GameEvent& e) {
    // Without a device nothing sounds, and nothing of it is traced either.
    if (!soundEnabled) return;
    if (e.b < 0 || e.b >= soundCount) return;
    SoundSample* sample = soundSamples[e.b];
    const char* file = soundFile(soundAt(e.b)).file;
    switch (static_cast<SoundOp>(e.a)) {
        case SoundOp::play:
            traceSound("play", file, e.c);
            if (sample != nullptr) sample->play();
            break;
        case SoundOp::loop:
            traceSound("loop", file, e.c);
            if (sample != nullptr) sample->playLooped();
            break;
        case SoundOp::stop:
            traceSound("stop", file, e.c);
            if (sample != nullptr) sample->stop();
            break;
        case SoundOp::frequency:
            if (sample != nullptr) sample->setFrequency(e.c);
            break;
    }
}

void EventOutput::screenshot(const GameEvent& e) {
    char gameName[sizeof screenshotButton.name];
    std::string path = claimScreenshotName(gameName, sizeof gameName);
    // The screen still shows the last frame, unless this step already put a picture up.
    Surface* shown = static_cast<FrontShows>(e.a) == FrontShows::picture
                         ? engine_.pictureSurface(static_cast<Picture>(e.b))
                         : engine_.frontSurface();
    if (saveScreenshot(shown, gameName) == 0) {
        std::fprintf(stderr, "parapet: screenshot saved as %s\n", quotePath(path).c_str());
        traceScreenshot(path);
    } else {
        std::fprintf(stderr, "parapet: could not save the screenshot %s\n",
                     quotePath(path).c_str());
    }
}
