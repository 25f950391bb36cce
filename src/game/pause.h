#pragma once

class Engine;
class Surface;

// Pausing play. The game logic, the climbers, the actors and the sound all stand still while
// the frame loop keeps pacing, pumping events and showing "PAUSED"; the frames still count,
// so a run with a pause is the same run, later.
class Pause {
public:
    static constexpr int pauseKey = 0x19;  // P

    bool active() const { return active_; }
    // Reads the keys after a frame step: P, Pause or a controller's Start newly pressed
    // pauses play or resumes it. Only play itself can be paused.
    void update(const Engine& engine);
    // The player switched to another window: pause play (coming back does not resume).
    // A live run presses pauseKey instead, so that the pause is recorded like any other.
    void focusLost();
    // Writes "PAUSED" in the game font in the middle of the picture.
    void drawBanner(Engine& engine, Surface& target) const;

private:
    void set(bool active);

    bool active_ = false;
    bool held_ = true;  // a key held when play starts must be let go before it pauses
};
