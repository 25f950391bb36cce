#pragma once
#include <functional>

class WebAudio;

// The page around the game: its frame callback and what the page is told (the frame on the
// canvas, the end of the run, when to copy the saves to IndexedDB).

// Runs the game at the browser's refresh: `frame` once every `frameMillis` of the browser's
// clock, keeping `audio` topped up between. When `frame` says the run is over, `end` gives
// the exit status, which the page is told. Returns at once; the page lives on.
void runAtBrowserRefresh(double frameMillis, WebAudio* audio, std::function<bool()> frame,
                         std::function<int()> end);
// Copies what was written below /save to IndexedDB (the page knows whether anything was).
void keepSavesOnPage();
