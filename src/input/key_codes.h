#pragma once

// DirectInput key codes the screens read directly.
namespace keys {
constexpr int escape = 1;
constexpr int backspace = 14;
constexpr int tab = 15;
constexpr int enter = 28;
constexpr int leftShift = 42;
constexpr int rightShift = 54;
constexpr int space = 57;
constexpr int padEnter = 156;
constexpr int up = 200;
constexpr int left = 203;
constexpr int right = 205;
constexpr int down = 208;
}  // namespace keys
