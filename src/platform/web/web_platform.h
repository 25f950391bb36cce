#pragma once
#include "platform/platform.h"

class WebAudio;

// The browser's devices, made once the page has its AudioContext (or knows it has none).
// Returns the audio output, which the frame callback tops up.
WebAudio* createWebPlatform(Platform& platform);
