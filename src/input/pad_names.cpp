#include "input/pad_names.h"

namespace {

struct LayoutNames {
    const char* a;
    const char* b;
    const char* x;
    const char* y;
    const char* back;
    const char* start;
};

// SDL reads a Nintendo pad by its labels too, so its A is button 0 like an Xbox pad's,
// only on the other side of the diamond.
constexpr LayoutNames generic{"A", "B", "X", "Y", "BACK", "START"};
constexpr LayoutNames xbox{"A", "B", "X", "Y", "VIEW", "MENU"};
constexpr LayoutNames playstation{"CROSS", "CIRCLE", "SQUARE", "TRIANGLE", "SHARE", "OPTIONS"};
constexpr LayoutNames nintendo{"A", "B", "X", "Y", "-", "+"};

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

}  // namespace

std::string padButtonName(PadLayout layout, int button) {
    // A joystick without a mapping has only numbered buttons, counted from 1 as printed.
    if (layout == PadLayout::rawJoystick) return "BUTTON " + std::to_string(button + 1);
    const LayoutNames& n = namesOf(layout);
    switch (button) {
        case padButtons::a:
            return n.a;
        case padButtons::b:
            return n.b;
        case padButtons::x:
            return n.x;
        case padButtons::y:
            return n.y;
        case padButtons::back:
            return n.back;
        case padButtons::start:
            return n.start;
        default:
            return "BUTTON " + std::to_string(button + 1);
    }
}
