#pragma once
#include <cstdint>
#include <vector>

#include "input/frame_input_source.h"
#include "platform/input.h"

// The live run's source: reads the real keyboard and game controllers once per frame and
// turns what changed since the last reading into commands. Controllers are read by their
// enumeration index (each opened in the device slot of the same number), which is how
// commands address them. A keyboard that cannot be read changes nothing, as the Engine
// keeps its last snapshot then; a controller that cannot be read (pulled out) reads as
// released and centred.
class InputCapture : public FrameInputSource {
public:
    static constexpr int maxControllers = 8;

    // joysticks may be null (no controller support).
    InputCapture(KeyboardDevice& keyboard, JoystickSource* joysticks);
    void commandsFor(int frame, std::vector<InputCommand>& out) override;
    // Controllers attached so far (grows when one is plugged in, never shrinks).
    int joystickCount() const { return joystickCount_; }
    // Presses `code` for the next capture only, as a quick tap would: a lost window focus
    // pauses play this way, so the pause is part of the input a recording or the other
    // machine of a network game sees.
    void tapKey(int code) { tapCode_ = code & 0xFF; }
    // Whether controller `index` could be read at the last capture (false once pulled out).
    bool controllerReadable(int index) const {
        return index >= 0 && index < joystickCount_ && readable_[index];
    }

    // Whose buttons controller `index` has, for naming them.
    PadLayout layout(int index) const {
        return joysticks_ != nullptr ? joysticks_->layout(index) : PadLayout::generic;
    }

private:
    void openNewControllers();
    void captureKeyboard(int frame, std::vector<InputCommand>& out);
    void captureController(int index, int frame, std::vector<InputCommand>& out);

    KeyboardDevice& keyboard_;
    JoystickSource* joysticks_;
    int joystickCount_ = 0;
    bool opened_[maxControllers] = {};
    bool readable_[maxControllers] = {};
    uint8_t keys_[256] = {};
    int tapCode_ = -1;
    JoystickState pads_[maxControllers] = {};
};
