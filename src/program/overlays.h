#pragma once
#include <string>

#include "program/extras.h"
#include "program/options_screen.h"

class Engine;
class Surface;

// What the shell draws over a frame's picture: the options screen, the extras and the
// prompts. Each reads the world in play and changes nothing in it.
namespace overlays {

// Writes `text` in the small font, its top left corner at (x, y); centred when x < 0.
void smallText(Engine& engine, Surface& target, const std::string& text, int x, int y);
// The same in the big font.
void bigText(Engine& engine, Surface& target, const std::string& text, int x, int y);

void optionsScreen(Engine& engine, Surface& target, const OptionsScreen::View& view);
// Each player's score and smart bombs, the level and the climbers still to come.
void scoreLine(Engine& engine, Surface& target);
// Whether the world shows the end of a game: every player has fallen.
bool gameIsOver();
void gameOverCaption(Engine& engine, Surface& target);
// The highscore table as a page of its own.
void highscorePage(Engine& engine, Surface& target);
// A box round the name being typed and, in the blinking's on phase, a cursor at its end.
void nameBox(Engine& engine, Surface& target, bool cursorShown);

}  // namespace overlays
