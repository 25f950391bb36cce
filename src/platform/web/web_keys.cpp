#include "platform/web/web_keys.h"

#include <strings.h>

#include <cstring>

namespace {

// Every key the SDL backend maps, one line each: the mapping must stay one-to-one.
constexpr WebKey keys[] = {
    {0x01, "Escape", "Escape"},
    {0x02, "Digit1", "1"},
    {0x03, "Digit2", "2"},
    {0x04, "Digit3", "3"},
    {0x05, "Digit4", "4"},
    {0x06, "Digit5", "5"},
    {0x07, "Digit6", "6"},
    {0x08, "Digit7", "7"},
    {0x09, "Digit8", "8"},
    {0x0A, "Digit9", "9"},
    {0x0B, "Digit0", "0"},
    {0x0C, "Minus", "-"},
    {0x0D, "Equal", "="},
    {0x0E, "Backspace", "Backspace"},
    {0x0F, "Tab", "Tab"},
    {0x10, "KeyQ", "Q"},
    {0x11, "KeyW", "W"},
    {0x12, "KeyE", "E"},
    {0x13, "KeyR", "R"},
    {0x14, "KeyT", "T"},
    {0x15, "KeyY", "Y"},
    {0x16, "KeyU", "U"},
    {0x17, "KeyI", "I"},
    {0x18, "KeyO", "O"},
    {0x19, "KeyP", "P"},
    {0x1A, "BracketLeft", "["},
    {0x1B, "BracketRight", "]"},
    {0x1C, "Enter", "Return"},
    {0x1D, "ControlLeft", "Left Ctrl"},
    {0x1E, "KeyA", "A"},
    {0x1F, "KeyS", "S"},
    {0x20, "KeyD", "D"},
    {0x21, "KeyF", "F"},
    {0x22, "KeyG", "G"},
    {0x23, "KeyH", "H"},
    {0x24, "KeyJ", "J"},
    {0x25, "KeyK", "K"},
    {0x26, "KeyL", "L"},
    {0x27, "Semicolon", ";"},
    {0x28, "Quote", "'"},
    {0x29, "Backquote", "`"},
    {0x2A, "ShiftLeft", "Left Shift"},
    {0x2B, "Backslash", "\\"},
    {0x2C, "KeyZ", "Z"},
    {0x2D, "KeyX", "X"},
    {0x2E, "KeyC", "C"},
    {0x2F, "KeyV", "V"},
    {0x30, "KeyB", "B"},
    {0x31, "KeyN", "N"},
    {0x32, "KeyM", "M"},
    {0x33, "Comma", ","},
    {0x34, "Period", "."},
    {0x35, "Slash", "/"},
    {0x36, "ShiftRight", "Right Shift"},
    {0x37, "NumpadMultiply", "Keypad *"},
    {0x38, "AltLeft", "Left Alt"},
    {0x39, "Space", "Space"},
    {0x3A, "CapsLock", "CapsLock"},
    {0x3B, "F1", "F1"},
    {0x3C, "F2", "F2"},
    {0x3D, "F3", "F3"},
    {0x3E, "F4", "F4"},
    {0x3F, "F5", "F5"},
    {0x40, "F6", "F6"},
    {0x41, "F7", "F7"},
    {0x42, "F8", "F8"},
    {0x43, "F9", "F9"},
    {0x44, "F10", "F10"},
    {0x45, "NumLock", "Numlock"},
    {0x46, "ScrollLock", "ScrollLock"},
    {0x47, "Numpad7", "Keypad 7"},
    {0x48, "Numpad8", "Keypad 8"},
    {0x49, "Numpad9", "Keypad 9"},
    {0x4A, "NumpadSubtract", "Keypad -"},
    {0x4B, "Numpad4", "Keypad 4"},
    {0x4C, "Numpad5", "Keypad 5"},
    {0x4D, "Numpad6", "Keypad 6"},
    {0x4E, "NumpadAdd", "Keypad +"},
    {0x4F, "Numpad1", "Keypad 1"},
    {0x50, "Numpad2", "Keypad 2"},
    {0x51, "Numpad3", "Keypad 3"},
    {0x52, "Numpad0", "Keypad 0"},
    {0x53, "NumpadDecimal", "Keypad ."},
    {0x56, "IntlBackslash", ""},
    {0x57, "F11", "F11"},
    {0x58, "F12", "F12"},
    {0x64, "F13", "F13"},
    {0x65, "F14", "F14"},
    {0x66, "F15", "F15"},
    {0x70, "KanaMode", ""},
    {0x73, "IntlRo", ""},
    {0x79, "Convert", ""},
    {0x7B, "NonConvert", ""},
    {0x7D, "IntlYen", ""},
    {0x8D, "NumpadEqual", "Keypad ="},
    {0x90, "MediaTrackPrevious", "AudioPrev"},
    {0x99, "MediaTrackNext", "AudioNext"},
    {0x9C, "NumpadEnter", "Keypad Enter"},
    {0x9D, "ControlRight", "Right Ctrl"},
    {0xA0, "AudioVolumeMute", "AudioMute"},
    {0xA1, "LaunchApp2", "Calculator"},
    {0xA2, "MediaPlayPause", "AudioPlay"},
    {0xA4, "MediaStop", "AudioStop"},
    {0xAE, "AudioVolumeDown", "VolumeDown"},
    {0xB0, "AudioVolumeUp", "VolumeUp"},
    {0xB2, "BrowserHome", "AC Home"},
    {0xB3, "NumpadComma", "Keypad ,"},
    {0xB5, "NumpadDivide", "Keypad /"},
    {0xB7, "PrintScreen", "PrintScreen"},
    {0xB8, "AltRight", "Right Alt"},
    {0xC5, "Pause", "Pause"},
    {0xC7, "Home", "Home"},
    {0xC8, "ArrowUp", "Up"},
    {0xC9, "PageUp", "PageUp"},
    {0xCB, "ArrowLeft", "Left"},
    {0xCD, "ArrowRight", "Right"},
    {0xCF, "End", "End"},
    {0xD0, "ArrowDown", "Down"},
    {0xD1, "PageDown", "PageDown"},
    {0xD2, "Insert", "Insert"},
    {0xD3, "Delete", "Delete"},
    {0xDB, "MetaLeft", "Left GUI"},
    {0xDC, "MetaRight", "Right GUI"},
    {0xDD, "ContextMenu", "Application"},
    {0xDE, "Power", "Power"},
    {0xDF, "Sleep", "Sleep"},
    {0xE5, "BrowserSearch", "AC Search"},
    {0xE6, "BrowserFavorites", "AC Bookmarks"},
    {0xE7, "BrowserRefresh", "AC Refresh"},
    {0xE8, "BrowserStop", "AC Stop"},
    {0xE9, "BrowserForward", "AC Forward"},
    {0xEA, "BrowserBack", "AC Back"},
    {0xEB, "LaunchApp1", "Computer"},
    {0xEC, "LaunchMail", "Mail"},
    {0xED, "MediaSelect", "MediaSelect"},
};

}  // namespace

std::span<const WebKey> webKeys() { return keys; }

int dikFromDomCode(const char* code) {
    if (code == nullptr) return 0;
    for (const WebKey& key : keys)
        if (std::strcmp(key.domCode, code) == 0) return key.dik;
    return 0;
}

int webKeyCodeFromName(const char* name) {
    if (name == nullptr || *name == '\0') return 0;
    for (const WebKey& key : keys)
        if (strcasecmp(key.name, name) == 0) return key.dik;
    return 0;
}

std::string webKeyName(int code) {
    for (const WebKey& key : keys)
        if (key.dik == code) return key.name;
    return {};
}
