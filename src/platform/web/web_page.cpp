#include "platform/web/web_page.h"

#include <emscripten/emscripten.h>

#include <utility>

#include "platform/web/web_audio.h"

namespace {

EM_JS(void, runEnded, (int status), {
    if (Module["onRunEnded"]) Module["onRunEnded"](status);
});

// The number of the frame on the canvas, for whoever compares it with a native screenshot.
EM_JS(void, frameShown, (int frame), { Module["frame"] = frame; });

EM_JS(void, syncSaves, (), {
    if (Module["syncSaves"]) Module["syncSaves"]();
});

struct PageLoop {
    double frameMillis = 33;
    WebAudio* audio = nullptr;
    std::function<bool()> frame;
    std::function<int()> end;
    double nextFrame = 0;
    int frames = 0;
};

// Lives until the page is closed: the frame callback steps it.
PageLoop* theLoop = nullptr;

// The browser's refresh comes every 7 to 17 ms; a frame runs once its 33 ms are up, within
// this much, so a 60 Hz screen shows every game frame for exactly two refreshes.
constexpr double refreshSlackMs = 2;

void stepFrame() {
    PageLoop& loop = *theLoop;
    if (loop.audio != nullptr) loop.audio->pump();
    double now = emscripten_get_now();
    if (now + refreshSlackMs < loop.nextFrame) return;
    // A late frame runs at once and nothing is caught up, as in the native frame loop.
    loop.nextFrame = now - loop.nextFrame > loop.frameMillis ? now + loop.frameMillis
                                                             : loop.nextFrame + loop.frameMillis;
    bool more = loop.frame();
    frameShown(++loop.frames);
    syncSaves();
    if (more) return;
    emscripten_cancel_main_loop();
    int status = loop.end();
    syncSaves();
    runEnded(status);
}

}  // namespace

void runAtBrowserRefresh(double frameMillis, WebAudio* audio, std::function<bool()> frame,
                         std::function<int()> end) {
    theLoop = new PageLoop{frameMillis, audio, std::move(frame), std::move(end)};
    theLoop->nextFrame = emscripten_get_now();
    emscripten_set_main_loop(stepFrame, 0, 0);
}

void keepSavesOnPage() { syncSaves(); }
