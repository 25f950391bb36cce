#include "screens/menu_texts.h"

// Only letters, digits, blanks and the punctuation the scroller font carries.
const char creditsText[] =
    "Parapet ... hold the top of the wall! ... Climbers come in from both sides, rest on the "
    "stones and climb in bursts: drop your balls on them while they walk or climb, and a ball"
    " that hits several of them scores more with every hit. Once per level each player may "
    "call for the chainsaw to cut down whoever reaches the top, and multiple hits earn smart "
    "bombs that rain twelve balls over the whole width. One to three players: two share the "
    "keyboard, everyone can take a joystick. Player 1: cursor keys and right Shift. Player 2:"
    " E, X, D, G and left Shift. Space skips the title, Escape ends a level. Every picture, "
    "glyph, noise and tune of this game is made by its own code. Parapet was made by the "
    "Parapet team: design, code, pictures, sounds and music ... thanks to everyone who played"
    " it while it was being built! Beat the best score for your number of players and your "
    "name goes up on the highscore line. Greetings to all defenders of walls and parapets "
    "everywhere ... now choose Start and show them how it is done!                    ";
