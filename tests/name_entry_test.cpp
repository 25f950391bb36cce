// Typing a highscore name, driven frame by frame through the game's own flow on the play
// fixture's engine with the generated pictures.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "actors/font.h"
#include "play/play_fixture.h"
#include "program/highscores.h"
#include "support/files.h"
#include "support/text_chain.h"

namespace {

constexpr int leftShift = 42;
constexpr int backspace = 14;
constexpr int enter = 28;

class NameEntry : public PlayField {
protected:
    void SetUp() override {
        PlayField::SetUp();
        resetHighscores();
        paths().saveDir = makeTempDir("name_entry");
    }
    void TearDown() override {
        resetHighscores();
        PlayField::TearDown();
    }

    // One frame of the main loop with exactly these keys held while its engine step reads
    // the keyboard; the screen sees them in the following frame.
    void type(std::initializer_list<int> held = {}) {
        for (int k = 0; k < 256; ++k) key(k, false);
        for (int k : held) key(k, true);
        frame();
    }
    static int letter(char c) { return keyForChar(c); }

    // The cells the eight places of the name field show for a name.
    static std::vector<int> shown(const char* name) {
        std::vector<int> cells;
        for (int i = 0; i < 8; ++i)
            cells.push_back(i < static_cast<int>(std::strlen(name)) ? gameFont->cellFor(name[i])
                                                                    : -1);
        return cells;
    }

    SavedPaths savedPaths;
};

}  // namespace

// A second record in one run (a later game) must replace the prompt and the field, not
// pile up a second set of actors and overlays.
TEST_F(NameEntry, PromptClearsOnlyThePlayersEntryAndASecondOneReplacesTheFirst) {
    std::strcpy(highscoreName[0], "Solo");
    beginNameEntry(1, 2, 1500);
    EXPECT_STREQ(highscoreName[1], "");
    EXPECT_STREQ(highscoreName[0], "Solo");
    EXPECT_EQ(cellsOf(game.nameField), shown(""));
    setGameState(stateNameEntry, true);
    type();
    int actorsBefore = theStage.actorCount;
    int overlaysBefore = theStage.overlayCount;
    beginNameEntry(0, 1, 99);
    EXPECT_EQ(theStage.overlayCount, overlaysBefore);
    type();
    EXPECT_EQ(theStage.actorCount, actorsBefore);
    EXPECT_EQ(game.nameEntrySlot, 1);
}

// How the file is written and how long the field falls is pinned end to end by the
// HighscoreRun scenario; here the keys, one frame at a time.
TEST_F(NameEntry, KeysTypeOnceEachAndShiftBackspaceAndEnterBehave) {
    beginNameEntry(1, 2, 1500);
    setGameState(stateNameEntry, true);

    type({leftShift, letter('b')});  // Shift gives the capital
    type({letter('b')});             // still held: typed once
    type({letter('b')});
    type({letter('o'), letter('x')});  // together: only the one earlier in the alphabet
    type();
    type({letter('x')});
    type();
    type({backspace});               // takes the x back
    type({backspace, letter('b')});  // Backspace still held: nothing else is read
    type();
    type({letter('b')});
    type({letter('b'), enter});  // b still held: Enter waits for its release
    type();
    EXPECT_EQ(game.gameState, stateNameEntry);
    EXPECT_STREQ(highscoreName[1], "Bob");
    EXPECT_EQ(cellsOf(game.nameField), shown("Bob"));
    type({enter});
    type();
    EXPECT_EQ(game.gameState, stateNameAccepted);
    EXPECT_EQ(highscoreValue[1], 1500);
    frames(50);
    EXPECT_EQ(game.gameState, stateMenu);
    EXPECT_EQ(game.highscoresChanged, 0) << "the menu did not rebuild its highscore line";

    screen_run::Result r = traced();
    EXPECT_EQ(r.soundFrames("s\\tschonk.raw", 22050).size(), 4u);  // B, o, x and b
    EXPECT_EQ(r.soundFrames("s\\tschonk.raw", 44100).size(), 1u);  // Backspace
    EXPECT_EQ(r.soundFrames("s\\Nuclear.raw").size(), 1u);
}

TEST_F(NameEntry, EmptyNameBecomesTheDefaultAndOnlyLettersType) {
    beginNameEntry(2, 3, 42);
    setGameState(stateNameEntry, true);

    type({backspace});  // nothing to delete: silent
    type();
    type({letter('1'), 57, 12});  // a digit, Space and '-' cannot be typed
    type();
    type({leftShift});  // Shift alone types nothing
    type();
    EXPECT_EQ(game.nameLength, 0);
    type({enter});
    type();
    ASSERT_EQ(game.gameState, stateNameAccepted);
    EXPECT_STREQ(highscoreName[2], "Zorvik");
    EXPECT_TRUE(traced().soundFrames("s\\tschonk.raw").empty());
}
