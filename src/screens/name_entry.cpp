#include <cstring>

#include "base/events.h"
#include "actors/actor.h"
#include "input/controls.h"
#include "actors/animation_table.h"
#include "actors/font.h"
#include "actors/scroller.h"
#include "engine/engine.h"
#include "engine/sprite_frame.h"
#include "rules/highscore_table.h"
#include "rules/rules.h"
#include "screens/screens.h"
#include "rules/game_state.h"
#include "input/key_codes.h"
#include "rules/play_sounds.h"
#include "screens/screens.h"

namespace {
constexpr int maxNameLength = 8;
constexpr const char* defaultName = "Zorvik";
constexpr int fallFrames = 45;

// Keys at the keyboard of the player who set the record: on two machines, his own.
bool typedKey(int code) { return theControls.isKeyDownFor(game.nameEntryPlayer, code); }

// The table entry being typed into; a slot outside 1..3 cannot reach past the table.
int entryIndex() {
    int slot = game.nameEntrySlot;
    return slot < 1 ? 0 : slot > 3 ? 2 : slot - 1;
}

// Glyph k of the field: the field itself, then each first child in turn.
Actor* glyph(int k) {
    Actor* actor = game.nameField;
    for (int i = 0; i < k && actor != nullptr; ++i)
        actor = actor->firstChild();
    return actor;
}

void showInGlyph(int k, char ch) {
    Actor* actor = glyph(k);
    if (actor != nullptr) actor->setGlyphCell(ch == '\0' ? -1 : gameFont->cellFor(ch));
}

bool shiftDown() {
    return typedKey(keys::leftShift) || typedKey(keys::rightShift);
}

void typeLetter() {
    if (game.nameLength >= maxNameLength) return;
    // One letter per frame; of several held together the first in the alphabet wins.
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        int key = keyForChar(letter);
        if (key < 0 || !typedKey(key)) continue;
        char typed = shiftDown() ? static_cast<char>(letter - 32) : letter;
        highscoreName[entryIndex()][game.nameLength] = typed;
        showInGlyph(game.nameLength, typed);
        game.heldKey = key;
        ++game.nameLength;
        playSoundAt(Sound::tschonk, 22050);
        return;
    }
}

void deleteLetter() {
    if (game.nameLength <= 0 || !typedKey(keys::backspace)) return;
    --game.nameLength;
    showInGlyph(game.nameLength, '\0');
    game.heldKey = keys::backspace;
    playSoundAt(Sound::tschonk, 44100);
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
    // The shell keeps the table (and says so if it cannot); the new entry stays in the world
    // and the menu shows it either way.
    emitEvent(EventKind::saveHighscores);
    game.highscoresChanged = 1;
    setGameState(stateNameAccepted, true);
    emitLog("entering prompt\n");
    if (game.nameEntryMessage != nullptr) game.nameEntryMessage->hide();
    // The name jumps up and drops off the bottom of the screen.
    if (game.nameField != nullptr) {
        game.nameField->setVelocityY(-10.0);
        game.nameField->setAccelerationY(3.0);
    }
    playSound(Sound::nuclear);
}
}  // namespace

void updateNameEntry() {
    if (game.stateFrame == 1) playSound(Sound::crowdOhh);

    // A key acts once per press; while it is held nothing else is read, Enter included.
    if (game.heldKey > 0 && typedKey(game.heldKey)) return;
    game.heldKey = -1;

    typeLetter();
    deleteLetter();
    if (typedKey(keys::enter)) acceptName();
}

void updateNameAccepted() {
    if (game.stateFrame < fallFrames) return;
    if (game.nameField != nullptr) game.nameField->hideTree();
    emitLog("building menu\n");
    buildMenu();
    setGameState(stateMenu, true);
    emitLog("entering menu\n");
}
