#include "program/extras.h"

const char* const extraKeys[extraCount] = {"score_line", "game_over",  "highscore_page",
                                           "name_box",   "menu_music", "no_blood"};
const char* const extraTitles[extraCount] = {"SCORE LINE", "GAME OVER",  "HIGHSCORE PAGE",
                                             "NAME BOX",   "MENU MUSIC", "NO BLOOD"};

bool& extraFlag(Extras& extras, int index) {
    bool* flags[extraCount] = {&extras.scoreLine, &extras.gameOver,  &extras.highscorePage,
                               &extras.nameBox,   &extras.menuMusic, &extras.noBlood};
    return *flags[index];
}
