#pragma once

// Pausing play. While paused the game logic, the climbers, the actors and the sound stand
// still; the frames still count, so a run with a pause is the same run, later.
namespace pauseKeys {
constexpr int pauseKey = 0x19;  // P
constexpr int pauseKeyAlt = 0xC5;  // Pause
// SDL's Start on a game controller; the players' own buttons are 0 to 3.
constexpr int startButton = 6;
constexpr const char* banner = "PAUSED";
}  // namespace pauseKeys

// Reads the controls of the last frame: P, Pause or a controller's Start newly pressed
// pauses play or resumes it. Only play itself can be paused.
void updatePause();
