#include "input/pad_names.h"

#include <cctype>
#include <charconv>

namespace {

// The buttons that carry a label of their own, in SDL's order from A to the right trigger.
constexpr int namedButtons = 23;

struct LayoutNames {
    const char* name[namedButtons];
};

constexpr const char* dpad[4] = {"D-PAD UP", "D-PAD DOWN", "D-PAD LEFT", "D-PAD RIGHT"};

// SDL reads a Nintendo pad by its labels too, so its A is button 0 like an Xbox pad's,
// only on the other side of the diamond. Buttons a layout has no word for print as numbers.
// clang-format off
constexpr LayoutNames generic{{"A", "B", "X", "Y", "BACK", "GUIDE", "START", "LS", "RS", "LB", "RB",
                               nullptr, nullptr, nullptr, nullptr,
                               "MISC", "P1", "P2", "P3", "P4", "TOUCHPAD", "LT", "RT"}};
constexpr LayoutNames xbox{{"A", "B", "X", "Y", "VIEW", "XBOX", "MENU", "LS", "RS", "LB", "RB",
                            nullptr, nullptr, nullptr, nullptr,
                            "SHARE", "P1", "P2", "P3", "P4", nullptr, "LT", "RT"}};
constexpr LayoutNames playstation{{"CROSS", "CIRCLE", "SQUARE", "TRIANGLE", "SHARE", "PS",
                                   "OPTIONS", "L3", "R3", "L1", "R1",
                                   nullptr, nullptr, nullptr, nullptr,
                                   "MIC", nullptr, nullptr, nullptr, nullptr, "TOUCHPAD", "L2",
                                   "R2"}};
constexpr LayoutNames nintendo{{"A", "B", "X", "Y", "-", "HOME", "+", "LS", "RS", "L", "R",
                                nullptr, nullptr, nullptr, nullptr,
                                "CAPTURE", nullptr, nullptr, nullptr, nullptr, nullptr, "ZL",
                                "ZR"}};

// The file's names are SDL's own words for the buttons, in the settings file's style.
constexpr const char* fileNames[namedButtons] = {
    "A", "B", "X", "Y", "Back", "Guide", "Start", "Left Stick", "Right Stick", "Left Shoulder",
    "Right Shoulder", "Dpad Up", "Dpad Down", "Dpad Left", "Dpad Right", "Misc", "Paddle 1",
    "Paddle 2", "Paddle 3", "Paddle 4", "Touchpad", "Left Trigger", "Right Trigger"};
// clang-format on

const LayoutNames& namesOf(PadLayout layout) {
    switch (layout) {
        case PadLayout::xbox:
            return xbox;
        case PadLayout::playstation:
            return playstation;
        case PadLayout::nintendo:
            return nintendo;
        default:
            return generic;
    }
}

bool sameWords(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::string padButtonName(PadLayout layout, int button) {
    // A joystick without a mapping has only numbered buttons, counted from 1 as printed.
    std::string number = "BUTTON " + std::to_string(button + 1);
    if (layout == PadLayout::rawJoystick || button < 0 || button >= namedButtons) return number;
    if (button >= padButtons::dpadUp && button <= padButtons::dpadRight)
        return dpad[button - padButtons::dpadUp];
    const char* name = namesOf(layout).name[button];
    return name != nullptr ? name : number;
}

std::string padButtonFileName(int button) {
    if (button < 0 || button >= padButtons::count) return {};
    if (button < namedButtons) return fileNames[button];
    return "Button " + std::to_string(button + 1);
}

int padButtonFromFileName(std::string_view name) {
    for (int b = 0; b < namedButtons; ++b)
        if (sameWords(name, fileNames[b])) return b;
    constexpr std::string_view prefix = "button ";
    if (name.size() <= prefix.size() || !sameWords(name.substr(0, prefix.size()), prefix))
        return -1;
    std::string_view digits = name.substr(prefix.size());
    int number = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size()) return -1;
    return number >= 1 && number <= padButtons::count ? number - 1 : -1;
}
