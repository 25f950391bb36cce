#pragma once
// A fresh world on the game's sprite sheets for every test (support/world_fixture.h), with
// helpers to put a game or a climber just where a test needs it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "base/paths.h"
#include "base/trace.h"
#include "engine/animation.h"
#include "rules/game_rand.h"
#include "rules/game_state.h"
#include "rules/play_rules.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "sound/sound.h"
#include "support/world_fixture.h"

class PlayField : public WorldFixture {
protected:
    // DirectInput codes of the keys the tests press.
    static constexpr int keyLeft = 203;
    static constexpr int keyRight = 205;
    static constexpr int keyFire = 54;       // right Shift: player 1's button 0
    static constexpr int keyChainsaw = 157;  // right Ctrl: button 1

    // A new game of n players as "Start" in the menu makes it.
    void newGame(int players) {
        theEvents = &events;
        game.numPlayers = players;
        game.levelIndex = 0;
        game.climbersPerLevel = 10;
        game.deadPlayers = 0;
        setGameState(stateNewGame, true);
        setGameState(stateSetup, false);
        startGame();
        theEvents = nullptr;
    }

    // Straight into play, with the level intro skipped over.
    void newGameInPlay(int players) {
        newGame(players);
        game.stateFrame = 180;
        setGameState(statePlay, false);
    }

    // Runs world code outside a step, its events kept with the rest.
    template <typename F>
    void outsideStep(F&& f) {
        theEvents = &events;
        f();
        theEvents = nullptr;
    }

    // A climber put straight into a state at a place, as if it had got there itself.
    void placeClimber(int slot, int state, int x, int y) {
        game.climberState[slot] = climberFree;
        for (int i = 0; i < climberSlots; ++i) {
            if (i != slot && game.climberState[i] == climberFree) game.climberState[i] = 99;
        }
        game.climbersToSpawn = 1;
        outsideStep([] { spawnClimber(); });
        for (int i = 0; i < climberSlots; ++i) {
            if (game.climberState[i] == 99) game.climberState[i] = climberFree;
        }
        Actor* c = game.climberActor[slot];
        c->stopMotion();
        c->setPosition(x, y);
        game.climberState[slot] = state;
        game.climberTimer[slot] = 0;
    }

    // A new one-player game with player 1 at x 300 in a chainsaw stroke with framesLeft to go,
    // and a climber standing at climberX on the wall top.
    void setUpStroke(int stroke, int facing, int framesLeft, int climberX) {
        resetWorld();
        newGameInPlay(1);
        game.playerActor[0]->setX(300);
        game.playerWeapon[0] = weaponChainsaw;
        game.playerState[0] = stroke;
        game.playerFacing[0] = facing;
        game.playerActionTimer[0] = framesLeft;
        placeClimber(0, climberHunting, climberX, -20);
        game.climberDir[0] = dirLeft;  // keeps it from turning round this frame
        game.climberActor[0]->setVelocityX(0.0);
    }
};
