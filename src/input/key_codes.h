#pragma once

// DirectInput key codes the screens read directly.
namespace keys {
constexpr int backspace = 14;
constexpr int enter = 28;
constexpr int leftShift = 42;
constexpr int rightShift = 54;
constexpr int space = 57;
}  // namespace keys
