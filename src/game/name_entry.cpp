#include <cstring>

#include "actors/actor.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
#include "frontend/highscores.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/key_codes.h"
#include "game/screen_sounds.h"
#include "game/screens.h"
#include "shell/log.h"

namespace {
constexpr int maxNameLength = 8;
constexpr const char* defaultName = "Zorvik";
constexpr int fallFrames = 45;

// The table entry being typed into; a slot outside 1..3 cannot reach past the table.
int entryIndex() {
    int slot = game.nameEntrySlot;
    return slot < 1 ? 0 : slot > 3 ? 2 : slot - 1;
}

// Glyph k of the field: the field itself, then each first child in turn.
Actor* glyph(int k) {
    Actor* actor = game.nameField;
    for (int i = 0; i < k && actor != nullptr; ++i)
        actor = actor->childCount() > 0 ? actor->firstChild() : nullptr;
    return actor;
}

void showInGlyph(int k, char ch) {
    Actor* actor = glyph(k);
    if (actor == nullptr) return;
    SpriteFrame* frame = actor->currentFrame();
    if (frame != nullptr) frame->setCell(ch == '\0' ? -1 : gameFont->cellFor(ch));
}

bool shiftDown() {
    return theEngine->isKeyDown(keys::leftShift) || theEngine->isKeyDown(keys::rightShift);
}

void typeLetter() {
    if (game.nameLength >= maxNameLength) return;
    // One letter per frame; of several held together the first in the alphabet wins.
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        int key = keyForChar(letter);
        if (key < 0 || !theEngine->isKeyDown(key)) continue;
        char typed = shiftDown() ? static_cast<char>(letter - 32) : letter;
        highscoreName[entryIndex()][game.nameLength] = typed;
        showInGlyph(game.nameLength, typed);
        game.heldKey = key;
        ++game.nameLength;
        playEffectAt("s\\tschonk.raw", 22050);
        return;
    }
}

void deleteLetter() {
    if (game.nameLength <= 0 || !theEngine->isKeyDown(keys::backspace)) return;
    --game.nameLength;
    showInGlyph(game.nameLength, '\0');
    game.heldKey = keys::backspace;
    playEffectAt("s\\tschonk.raw", 44100);
    highscoreName[entryIndex()][game.nameLength] = '\0';
}

void acceptName() {
    char* name = highscoreName[entryIndex()];
    if (game.nameLength == 0) {
        std::memset(name, 0, 9);
        std::strcpy(name, defaultName);
        for (int k = 0; name[k] != '\0'; ++k) showInGlyph(k, name[k]);
    }
    highscoreValue[entryIndex()] = game.pendingHighscore;
    // A failed save is reported by saveHighscores; the new entry stays in memory and the
    // menu shows it either way.
    saveHighscores();
    game.highscoresChanged = 1;
    setGameState(stateNameAccepted, true);
    logLine("entering prompt\n");
    if (game.nameEntryMessage != nullptr) game.nameEntryMessage->hide();
    // The name jumps up and drops off the bottom of the screen.
    if (game.nameField != nullptr) {
        game.nameField->setVelocityY(-10.0);
        game.nameField->setAccelerationY(3.0);
    }
    playEffect("s\\Nuclear.raw");
}
}  // namespace

void updateNameEntry() {
    if (game.stateFrame == 1) playEffect("s\\Crowdohh.raw");

    // A key acts once per press; while it is held nothing else is read, Enter included.
    if (game.heldKey > 0 && theEngine->isKeyDown(game.heldKey)) return;
    game.heldKey = -1;

    typeLetter();
    deleteLetter();
    if (theEngine->isKeyDown(keys::enter)) acceptName();
}

void updateNameAccepted() {
    if (game.stateFrame < fallFrames) return;
    if (game.nameField != nullptr) game.nameField->hideTree();
    logLine("building menu\n");
    buildMenu();
    setGameState(stateMenu, true);
    logLine("entering menu\n");
}
