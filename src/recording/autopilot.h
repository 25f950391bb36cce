#pragma once
#include <vector>

#include "input/frame_input_source.h"

// Player 1 played by the game itself, for the attract demo and long unattended runs. It
// looks only at what a player sees on the screen (where he stands, what he carries, where
// the climbers are, what the supply holds) and answers with player 1's keys, so its games
// are real games and replay like any other. It is deterministic: the same game gives the
// same keys.
//
// It runs to a ready supply for a ball, carries it over the climber highest on the wall and
// throws; fires a smart bomb when climbers crowd near the top; and when a climber is over
// the top it calls the chainsaw and cuts him down.
class Autopilot : public FrameInputSource {
public:
    // With `playsScreens` it also starts a game from the menu and accepts the name offered
    // after a record, so it can play game after game on its own.
    explicit Autopilot(bool playsScreens = false) : playsScreens_(playsScreens) {}
    void commandsFor(int frame, std::vector<InputCommand>& out) override;

    // Player 1's keys it presses (DirectInput codes).
    static constexpr int keyLeft = 203;
    static constexpr int keyRight = 205;
    static constexpr int keyFire = 54;       // right Shift: throw, or a chainsaw stroke
    static constexpr int keyChainsaw = 157;  // right Control
    static constexpr int keyBomb = 28;       // Return: smart bomb in play, accepts a name

private:
    struct Wanted {
        bool left = false, right = false, fire = false, chainsaw = false, bomb = false;
    };
    Wanted decide();
    Wanted decideInPlay();
    int ballTarget() const;

    bool playsScreens_;
    bool down_[256] = {};
};
