#include "actors/font.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "actors/stage.h"
#include "platform/sdl/key_table.h"
#include "support/test_sheets.h"
#include "support/text_chain.h"

namespace {

// A font over a sheet file that does not exist: the sheet is added (black) all the same,
// which is all cell arithmetic and chain geometry need.
class FontTest : public ::testing::Test {
protected:
    TestEngine te;
    Font font{"g\\no-such-font.raw", &te.engine, 512, 357, 24, 48, 51, 0, 52};

    // The text a digit-only chain shows, read back from its cells.
    std::string digitsShown(Actor* root) const {
        std::string s;
        for (int cell : cellsOf(root)) {
            int d = cell - font.firstDigitCell();
            s += (d >= 0 && d <= 9) ? static_cast<char>('0' + d) : '?';
        }
        return s;
    }
};

}  // namespace

TEST_F(FontTest, CellForCoversEveryCharacterClass) {
    struct Case {
        int ch;
        int cell;
    };
    const Case cases[] = {
        {'A', 0},  {'Z', 25}, {'a', 26},  {'z', 51}, {'0', 52},  {'9', 61},  {'!', 62},
        {'/', 76}, {':', 77}, {'@', 83},  {' ', -1}, {'[', -1},  {'`', -1},  {'{', -1},
        {'~', -1}, {127, -1}, {'\t', -1}, {128, -1}, {0xE9, -1}, {0xFF, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(font.cellFor(static_cast<char>(c.ch)), c.cell) << "code " << c.ch;
}

// Text is a chain of hidden characters, each with a frame of its own, spaced by the cell
// width plus the spacing; a blank keeps its place.
TEST_F(FontTest, TextIsAHiddenChainOfCharactersWithFramesOfTheirOwn) {
    struct Case {
        const char* text;
        int spacing;
        std::vector<int> cells, offsets;
    };
    const Case cases[] = {{"Quit", 5, {16, 46, 34, 45}, {0, 53, 106, 159}},
                          {"a b", 0, {26, -1, 27}, {0, 48, 96}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Actor* root = font.makeText(c.text, c.spacing);
        auto chain = chainOf(root);
        EXPECT_EQ(cellsOf(root), c.cells);
        root->setPosition(100, 20);
        root->update();
        for (size_t i = 0; i < chain.size(); ++i) {
            EXPECT_EQ(chain[i]->x() - 100, c.offsets[i]) << i;
            EXPECT_FALSE(chain[i]->isVisible());
        }
        EXPECT_EQ(theStage.actorCount, 0) << "a new text is on no stage";
        chain[0]->setGlyphCell(0);
        EXPECT_EQ(chain[1]->glyphCell(), c.cells[1]);
        destroyText(root);
    }
    EXPECT_EQ(font.makeText(nullptr, 5), nullptr);
    EXPECT_EQ(font.makeText("", 5), nullptr);
}

// A number is padded to the minimum but never cut. A label keeps the width and the actors of
// its first value, stays hidden, and shows the last digits of longer values; a text label has
// no digits to rewrite.
TEST_F(FontTest, NumberLabelsRewriteTheirDigitsInPlaceAndWrapInTheirBase) {
    struct Case {
        int first, base, minDigits;
        const char* firstShown;
        int next;
        const char* shown;
        int value;
    };
    // Negative values and bases outside 2..10 have no digits of their own in the font; they
    // must still show plain digits rather than reach past the digit glyphs.
    const Case cases[] = {
        {5, 10, 2, "05", 123, "23", 23},
        {0, 10, 0, "0", 7, "7", 7},
        {1234, 10, 2, "1234", 98765, "8765", 8765},
        {3, 2, 4, "0011", 19, "0011", 3},  // 10011: the last four binary digits stay
        {-42, 16, 0, "42", -123, "23", 23},
        {5, 1, 0, "101", 6, "110", 6},
        {5, 0, 0, "101", 2, "010", 2},
        {5, -3, 0, "101", 9, "001", 1},
        // 10^12 does not fit an int; the most negative int has a magnitude all the same.
        {0, 10, 12, "000000000000", INT_MAX, "002147483647", INT_MAX},
        {INT_MIN, 10, 0, "2147483648", INT_MIN, "2147483648", INT_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.first << " then " << c.next);
        Label label(c.first, &font, 0, c.base, c.minDigits);
        EXPECT_EQ(digitsShown(label.actor()), c.firstShown);
        const auto before = chainOf(label.actor());
        label.setNumber(c.next);
        EXPECT_EQ(digitsShown(label.actor()), c.shown);
        EXPECT_EQ(label.value(), c.value);
        EXPECT_EQ(chainOf(label.actor()), before);
        for (Actor* a : before) EXPECT_FALSE(a->isVisible());
        destroyText(label.actor());
    }
    Label text("Hi", &font, 0);
    text.setNumber(5);
    EXPECT_EQ(cellsOf(text.actor()), (std::vector<int>{7, 34}));
    destroyText(text.actor());
}

// The name entry must read each letter from the key the keyboard layer reports for it.
TEST(KeyForChar, LettersAndDigitsAreTheirKeysOnTheKeyboardAndNothingElseHasOne) {
    for (int c = 0; c < 256; ++c) {
        int want = -1;  // capitals too
        if (c >= 'a' && c <= 'z') want = dikFromScancode(SDL_Scancode(SDL_SCANCODE_A + (c - 'a')));
        if (c >= '1' && c <= '9') want = dikFromScancode(SDL_Scancode(SDL_SCANCODE_1 + (c - '1')));
        if (c == '0') want = dikFromScancode(SDL_SCANCODE_0);
        EXPECT_EQ(keyForChar(static_cast<char>(c)), want) << "code " << c;
    }
}
