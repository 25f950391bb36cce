#pragma once

// Additions a player can switch on, each off by default. They are drawn over the picture
// from what the world shows or played beside it, and never take part in the game: a
// recording or an online game plays the same with any of them on either side.
struct Extras {
    bool scoreLine = false;      // each player's score, the level, climbers left, smart bombs
    bool gameOver = false;       // "GAME OVER" when the last player falls
    bool highscorePage = false;  // the highscore table in the menu's idle time, before the demo
    bool nameBox = false;        // a box and a blinking cursor around the name being typed
    bool menuMusic = false;      // music on the title and the menu
    bool noBlood = false;        // dust where the splats of blood were, the same shapes

    bool operator==(const Extras&) const = default;
};

constexpr int extraCount = 6;
// The settings file's names of the extras, in the order of the options screen.
extern const char* const extraKeys[extraCount];
// What the options screen calls them.
extern const char* const extraTitles[extraCount];
bool& extraFlag(Extras& extras, int index);
inline bool extraOn(const Extras& extras, int index) {
    return extraFlag(const_cast<Extras&>(extras), index);
}
