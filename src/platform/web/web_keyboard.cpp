#include "platform/web/web_keyboard.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "platform/web/web_keys.h"

namespace {

constexpr int returnCode = 0x1C;
constexpr int keypadEnterCode = 0x9C;
constexpr int leftAltCode = 0x38;
constexpr int rightAltCode = 0xB8;
constexpr int f1Code = 0x3B, f10Code = 0x44, f11Code = 0x57, f12Code = 0x58;

EM_JS(void, toggleFullscreen, (), {
    if (Module["toggleFullscreen"]) Module["toggleFullscreen"]();
});

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* e, void* self) {
    int dik = dikFromDomCode(e->code);
    return static_cast<WebKeyboard*>(self)->keyEvent(
        dik, type == EMSCRIPTEN_EVENT_KEYDOWN, e->repeat != 0, e->altKey != 0, e->metaKey != 0);
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void* self) {
    static_cast<WebKeyboard*>(self)->releaseAll();
    return EM_FALSE;
}

}  // namespace

WebKeyboard::WebKeyboard() {
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, this, EM_TRUE, onKey);
    emscripten_set_keyup_callback(window, this, EM_TRUE, onKey);
    emscripten_set_blur_callback(window, this, EM_FALSE, onBlur);
}

WebKeyboard::~WebKeyboard() {
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, EM_TRUE, nullptr);
    emscripten_set_keyup_callback(window, nullptr, EM_TRUE, nullptr);
    emscripten_set_blur_callback(window, nullptr, EM_FALSE, nullptr);
}

bool WebKeyboard::keyEvent(int dik, bool down, bool repeat, bool alt, bool meta) {
    if (dik == 0) return false;
    if (down && !repeat && alt && (dik == returnCode || dik == keypadEnterCode)) {
        // Called inside the key's own event, where the browser allows full screen.
        toggleFullscreen();
        for (int held : {dik, leftAltCode, rightAltCode}) holdBack_.holdBack(held);
    }
    if (!repeat) {
        down_[dik] = down ? 0x80 : 0x00;
        if (down) pressed_[dik] = 0x80;
    }
    bool functionKey = (dik >= f1Code && dik <= f10Code) || dik == f11Code || dik == f12Code;
    return !(functionKey || meta);
}

void WebKeyboard::releaseAll() { std::memset(down_, 0, sizeof down_); }

bool WebKeyboard::read(uint8_t state[256]) {
    for (int i = 0; i < 256; ++i) state[i] = down_[i] | pressed_[i];
    std::memset(pressed_, 0, sizeof pressed_);
    holdBack_.apply(state);
    return true;
}
