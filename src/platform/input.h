#pragma once
#include <cstdint>

// Keyboard snapshot source: 256 bytes indexed by DirectInput key codes, 0x80 = key down.
class KeyboardDevice {
public:
    virtual ~KeyboardDevice() = default;
    // Fills state; returns false (leaving state untouched) when the device cannot be read.
    virtual bool read(uint8_t state[256]) = 0;
};

// One joystick reading: axes scaled to -1024..1024, 32 button bytes (0x80 = down).
struct JoystickState {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t buttons[32] = {};
};

// Whose buttons a controller has, for naming them: SDL reads every mapped pad alike (A, B,
// X, Y are buttons 0 to 3 by their labels), but the labels differ.
enum class PadLayout : uint8_t { generic, xbox, playstation, nintendo, rawJoystick };

// The game controllers. Indices passed to setUp/read/acquire are joystick device slots 0..7;
// enumerate() lists the attached controllers in a stable order.
class JoystickSource {
public:
    virtual ~JoystickSource() = default;
    // Number of attached game controllers, at most 8.
    virtual int enumerate() = 0;
    // Opens the index-th enumerated controller as device slot `slot`; false on failure.
    virtual bool setUp(int slot, int index) = 0;
    // Polls and reads device slot `slot`; false when it cannot be read.
    virtual bool read(int slot, JoystickState& state) = 0;
    // Re-acquires a device slot after a failed read; false when that fails too.
    virtual bool acquire(int slot) = 0;
    // The layout of device slot `slot`, for naming its buttons.
    virtual PadLayout layout(int /*slot*/) const { return PadLayout::generic; }
};
