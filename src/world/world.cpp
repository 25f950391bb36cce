#include "world/world.h"
#include "input/controls.h"

#include <cstring>

#include "actors/animation_table.h"
#include "rules/highscore_table.h"

World theWorld;

GameState& game = theWorld.game;
Stage& theStage = theWorld.stage;
ActorPool& theActorPool = theWorld.actors;
LabelPool& theLabelPool = theWorld.labels;
ScrollerPool& theScrollerPool = theWorld.scrollers;
Controls& theControls = theWorld.controls;
SoundState& theSounds = theWorld.sounds;
Backdrop& theBackdrop = theWorld.backdrop;
char (&highscoreName)[3][9] = theWorld.highscores.name;
int (&highscoreValue)[3] = theWorld.highscores.value;

void clearWorld() {
    // Zero bytes first, so the padding between fields is the same in every world.
    std::memset(static_cast<void*>(&theWorld), 0, sizeof theWorld);
    new (&theWorld.game) GameState();
    new (&theWorld.highscores) HighscoreTable();
    new (&theWorld.controls) Controls();
    theWorld.sounds.reset();
}

void resetWorld() {
    clearWorld();
    if (gameFont != nullptr) {
        game.levelText = gameFont->makeText("level", 0);
        game.levelText->addTreeToStage();
    }
}
