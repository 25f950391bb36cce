#pragma once
#include <cstdint>

#include "actors/actor.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "actors/stage.h"
#include "engine/backdrop.h"
#include "engine/frame_picture.h"
#include "base/events.h"
#include "rules/game_state.h"
#include "rules/highscore_table.h"
#include "input/controls.h"
#include "input/frame_input.h"
#include "sound/world_sound.h"

// Everything a running game changes, in one value: the game variables, every actor, label
// and scroller with the stage that shows them, and the highscore table in effect. What
// start-up builds and never changes (sheets, frames, animations, fonts, samples) is shared
// by every world and stays outside.
//
// A world holds no pointers, only slots of its own pools, so it can be copied, compared and
// hashed byte for byte, and two machines playing the same game hold the same bytes. The game
// code works on the world in play (`theWorld`, reached as `game`, `theStage` and the pools);
// another world takes part by being copied in.
struct World {
    GameState game;
    HighscoreTable highscores;
    Controls controls;
    SoundState sounds;
    Stage stage;
    ScrollerPool scrollers;
    LabelPool labels;
    // The two big parts last, their unused ends all zero: a copy or a hash of a world skips
    // them (world_compare.h).
    ActorPool actors;
    Backdrop backdrop;
};

extern World theWorld;

// What one step of a world leaves for the shell: its events in order, and, if asked for,
// the picture of the frame.
struct StepOutput {
    std::vector<GameEvent> events;
    FramePicture* picture = nullptr;
};

// Advances the world in play by one frame with the players' input of that frame: what
// happened between frames (pause, the menu's offer of players), the screen's logic and the
// players' actions, then the input read, the scrolling lines, the delayed sounds, the
// picture (if asked for) and every actor's move, in that order. No pixels, devices, clock or
// files: the shell does what the events say.
void stepWorld(const FrameInput& input, StepOutput& out);
// The stage's part of a step alone: the input read, the scrolling lines, the depth order, the
// delayed sounds, the picture and the actors' move.
void stepStage(const FrameInput& input, StepOutput& out);

// Makes the world in play a fresh one, as the program starts with, with the word "level"
// made and on the stage when the fonts exist.
void resetWorld();
// Makes it empty: no actors, no labels, the game variables as they start.
void clearWorld();
// The end of a run: the world in play back to nothing and the shared animations, fonts and
// frames freed, once the run's engine is done with them.
void releaseGame();
