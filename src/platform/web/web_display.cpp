#include "platform/web/web_display.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

namespace {

bool focusLost = false;

EM_BOOL onFocusGone(int, const EmscriptenFocusEvent*, void*) {
    focusLost = true;
    return EM_FALSE;
}

// A view of the wasm memory, made anew each time since the memory can grow and move.
EM_JS(void, drawOnCanvas, (const uint32_t* rgba, int width, int height), {
    const canvas = Module["canvas"];
    if (!canvas) return;
    Module.screenContext = Module.screenContext || canvas.getContext("2d");
    const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    Module.screenContext.putImageData(new ImageData(bytes, width, height), 0, 0);
});

}  // namespace

void rgb565ToRgba(const uint16_t* pixels, uint32_t* rgba, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        const uint32_t r = (p >> 8) & 0xF8;
        const uint32_t g = (p >> 3) & 0xFC;
        const uint32_t b = (p & 0x1F) << 3;
        rgba[i] = 0xFF000000u | b << 16 | g << 8 | r;  // memory order R, G, B, A
    }
}

WebDisplay::WebDisplay() : Display(640, 480) {
    // Switching to another tab or window pauses play as losing the window's focus does.
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onFocusGone);
    emscripten_set_visibilitychange_callback(
        nullptr, EM_FALSE, [](int, const EmscriptenVisibilityChangeEvent* e, void*) -> EM_BOOL {
            if (e->hidden) focusLost = true;
            return EM_FALSE;
        });
}

void drawOnPage(Surface& surface, std::vector<uint32_t>& rgba) {
    const int count = surface.width() * surface.height();
    rgba.resize(static_cast<size_t>(count));
    rgb565ToRgba(surface.lock(), rgba.data(), count);
    surface.unlock();
    drawOnCanvas(rgba.data(), surface.width(), surface.height());
}

void WebDisplay::present() { drawOnPage(frontSurface(), rgba_); }

bool WebDisplay::takeFocusLost() {
    bool lost = focusLost;
    focusLost = false;
    return lost;
}
