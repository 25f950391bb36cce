#include "program/event_output.h"

#include <cstdio>
#include <string>

#include "engine/engine.h"
#include "engine/screenshot.h"
#include "program/highscores.h"
#include "program/screenshot_name.h"
#include "platform/audio.h"
#include "base/log.h"
#include "base/quote_text.h"
#include "base/trace.h"
#include "sound/sound.h"

namespace {

std::string field(const char* name, int value) {
    return std::string("\"") + name + "\":" + std::to_string(value);
}

const char* soundOpName(int op) {
    switch (static_cast<SoundOp>(op)) {
        case SoundOp::play:
            return "play";
        case SoundOp::loop:
            return "loop";
        case SoundOp::stop:
            return "stop";
        default:
            return nullptr;
    }
}

}  // namespace

bool traceLineOf(const GameEvent& e, const char*& name, std::string& fields) {
    fields.clear();
    switch (e.kind) {
        case EventKind::sound: {
            const char* op = soundOpName(e.a);
            if (op == nullptr || e.b < 0 || e.b >= soundCount) return false;
            name = "sound";
            fields = "\"op\":" + jsonString(op) + ",\"file\":" +
                     jsonString(soundFile(soundAt(e.b)).file) + "," + field("hz", e.c);
            return true;
        }
        case EventKind::state:
            name = "state";
            fields = field("from", e.a) + "," + field("to", e.b);
            return true;
        case EventKind::score:
            name = "score";
            fields = field("player", e.a) + "," + field("score", e.b);
            return true;
        case EventKind::spawn:
            name = "spawn";
            fields = field("climber", e.a) + "," + field("targetX", e.b) + "," + field("dir", e.c);
            return true;
        case EventKind::pickup:
            name = "pickup";
            fields = field("player", e.a) + ",\"side\":" + (e.b == 0 ? "\"left\"" : "\"right\"");
            return true;
        case EventKind::throwBall:
            name = "throw";
            fields = field("player", e.a) + "," + field("ball", e.b) + "," + field("x", e.c);
            return true;
        case EventKind::hit:
            name = "hit";
            fields = field("climber", e.a) + "," + field("ball", e.b) + "," + field("owner", e.c) +
                     "," + field("hits", e.d);
            return true;
        case EventKind::cut:
            name = "cut";
            fields = field("climber", e.a) + "," + field("player", e.b);
            return true;
        case EventKind::struck:
            name = "struck";
            fields = field("player", e.a) + "," + field("climber", e.b);
            return true;
        case EventKind::dead:
            name = "dead";
            fields = field("player", e.a);
            return true;
        case EventKind::pause:
            name = "pause";
            return true;
        case EventKind::resume:
            name = "resume";
            return true;
        default:
            return false;
    }
}

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
    const char* name = nullptr;
    std::string fields;
    if (traceEnabled() && traceLineOf(e, name, fields)) traceEvent(name, fields);
}

void EventOutput::sound(const GameEvent& e) {
    // Without a device nothing sounds, and nothing of it is traced either.
    if (!soundEnabled) return;
    if (e.b < 0 || e.b >= soundCount) return;
    const char* name = nullptr;
    std::string fields;
    if (traceEnabled() && traceLineOf(e, name, fields)) traceEvent(name, fields);
    SoundSample* sample = soundSamples[e.b];
    if (sample == nullptr) return;
    switch (static_cast<SoundOp>(e.a)) {
        case SoundOp::play:
            sample->play();
            break;
        case SoundOp::loop:
            sample->playLooped();
            break;
        case SoundOp::stop:
            sample->stop();
            break;
        case SoundOp::frequency:
            sample->setFrequency(e.c);
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
