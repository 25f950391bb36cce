#include "platform/web/web_audio.h"

#include <emscripten/emscripten.h>

#include <utility>

namespace {

// About 21 ms a block at 48 kHz; four or five stay queued, enough to ride out a late
// browser frame without an audible gap.
constexpr int blockFrames = 1024;
constexpr double leadSeconds = 0.09;

// The context's rate, or 0 when the page could not make one.
EM_JS(int, audioRate, (), {
    const context = Module["audioContext"];
    return context ? context.sampleRate : 0;
});

// Seconds of sound scheduled beyond what the context has played.
EM_JS(double, audioQueued, (), {
    const context = Module["audioContext"];
    return Math.max(0, (Module.audioQueuedUntil || 0) - context.currentTime);
});

// One block of interleaved 16-bit stereo, scheduled right after the last one; after a gap
// (a hidden tab) the queue starts again a moment from now.
EM_JS(void, audioSchedule, (const int16_t* samples, int frames), {
    const context = Module["audioContext"];
    const buffer = context.createBuffer(2, frames, context.sampleRate);
    const left = buffer.getChannelData(0);
    const right = buffer.getChannelData(1);
    const pcm = HEAP16.subarray(samples >> 1, (samples >> 1) + frames * 2);
    for (let i = 0; i < frames; ++i) {
        left[i] = pcm[2 * i] / 32768;
        right[i] = pcm[2 * i + 1] / 32768;
    }
    const source = context.createBufferSource();
    source.buffer = buffer;
    source.connect(context.destination);
    const start = Math.max(Module.audioQueuedUntil || 0, context.currentTime + 0.02);
    source.start(start);
    Module.audioQueuedUntil = start + frames / context.sampleRate;
});

// A suspended context holds every scheduled block where it is, so a pause loses nothing.
EM_JS(void, audioHold, (bool held), {
    const context = Module["audioContext"];
    if (held)
        context.suspend();
    else
        context.resume();
});

}  // namespace

WebAudio::WebAudio() : mixer_(48000) {}

bool WebAudio::open() {
    int rate = audioRate();
    if (rate <= 0) return false;
    mixer_.setOutputRate(rate);
    block_.resize(2 * blockFrames);
    open_ = true;
    return true;
}

int WebAudio::createVoice(std::vector<uint8_t> samples, int rate) {
    return mixer_.addVoice(std::move(samples), rate);
}

void WebAudio::setPaused(bool paused) {
    if (!open_ || paused == paused_) return;
    paused_ = paused;
    audioHold(paused);
}

void WebAudio::pump() {
    if (!open_ || paused_) return;
    for (double queued = audioQueued(); queued < leadSeconds;
         queued += double(blockFrames) / mixer_.outputRate()) {
        mixer_.mix(block_.data(), blockFrames);
        audioSchedule(block_.data(), blockFrames);
    }
}
