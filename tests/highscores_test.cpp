#include "program/highscores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "base/paths.h"
#include "rules/game_state.h"
#include "screens/highscore_text.h"
#include "support/test_sheets.h"
#include "world/world.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes complemented(const std::string& plain) {
    Bytes out;
    for (unsigned char c : plain) out.push_back(static_cast<unsigned char>(c ^ 0xFF));
    return out;
}

// One record as the file holds it before the complement: name and score NUL-filled.
std::string record(const std::string& name, const std::string& score) {
    return name + std::string(8 - name.size(), '\0') + score + std::string(6 - score.size(), '\0');
}

void setEntry(int i, const char* name, int value) {
    std::memset(highscoreName[i], 0, sizeof highscoreName[i]);
    std::memcpy(highscoreName[i], name, strnlen(name, 8));
    highscoreValue[i] = value;
}

void expectEntry(int i, const char* name, int value) {
    EXPECT_STREQ(highscoreName[i], name) << "record " << i;
    EXPECT_EQ(highscoreValue[i], value) << "record " << i;
}

Bytes image() {
    unsigned char bytes[42];
    encodeHighscores(bytes);
    return Bytes(bytes, bytes + 42);
}

// Every test gets its own save and data directories and a fresh table.
class HighscoreFile : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root / "data" / "g");
        fs::create_directories(root / "save");
        paths().dataDir = (root / "data").string();
        paths().saveDir = (root / "save").string();
        paths().screenshotDir = (root / "shots").string();
        loadHighscores();  // no file yet: the built-in table, and saving allowed
        resetWorld();
    }
    void TearDown() override {
        resetHighscores();
        fs::remove_all(root);
    }
    fs::path savedFile() const { return root / "save" / "gx.raw"; }

    const SavedPaths saved;
    const fs::path root = makeTempDir("highscores");
};

}  // namespace

TEST_F(HighscoreFile, ImageIsComplementedRecordsWithNulFiller) {
    setEntry(0, "Abcdefgh", 999999);
    setEntry(1, "Bob", 4711);
    setEntry(2, "", 1234567);
    // Eight name bytes, six score bytes per record; anything after a terminator is NUL.
    std::string plain = record("Abcdefgh", "999999") + record("Bob", "4711") + record("", "123456");
    EXPECT_EQ(image(), complemented(plain));
}

TEST_F(HighscoreFile, LoadingPrefersTheSaveDirectoryAndFallsBackToTheData) {
    setEntry(0, "Data", 10);
    writeFileBytes(root / "data" / "g" / "gx.raw", image());
    resetHighscores();
    loadHighscores();
    expectEntry(0, "Data", 10);

    setEntry(0, "Saved", 20);
    writeFileBytes(savedFile(), image());
    resetHighscores();
    loadHighscores();
    expectEntry(0, "Saved", 20);
}

// A short file keeps the built-in entries for records it does not hold whole; a longer one
// is read only for its first 42 bytes.
TEST_F(HighscoreFile, FileLengthDecidesWhichRecordsAreRead) {
    const char* names[3] = {"First", "Second", "Third"};
    for (int i = 0; i < 3; ++i) setEntry(i, names[i], 100 * (i + 1));
    Bytes full = image();
    full.resize(4096, 0x00);
    struct Case {
        long length;
        int wholeRecords;
    };
    for (Case c : {Case{0, 0}, Case{13, 0}, Case{14, 1}, Case{27, 1}, Case{41, 2}, Case{4096, 3}}) {
        SCOPED_TRACE("length " + std::to_string(c.length));
        writeFileBytes(savedFile(), Bytes(full.begin(), full.begin() + c.length));
        for (int i = 0; i < 3; ++i) setEntry(i, "Junk", 1);
        loadHighscores();
        for (int i = 0; i < 3; ++i)
            expectEntry(i, i < c.wholeRecords ? names[i] : "Zorvik",
                        i < c.wholeRecords ? 100 * (i + 1) : 0);
    }
}

// Each record is written three times over. A name keeps all eight bytes, whatever they are
// (the font shows what it cannot draw as any unknown character); the score counts only the
// digits before the first other character.
TEST_F(HighscoreFile, NamesKeepEveryByteAndAScoreFieldEndsAtAForeignByte) {
    struct Case {
        std::string plain;
        const char* name;
        int value;
    };
    const Case cases[] = {
        {record("A-b c", "42"), "A-b c", 42},
        {record("\200bcdefgh", "42"), "\200bcdefgh", 42},  // octal: 0x80, 0xFF
        {record("abc\377defg", "42"), "abc\377defg", 42},
        {record("Name", "abcdef"), "Name", 0},
        {record("Name", "\xFF\xFF\xFF\xFF\xFF\xFF"), "Name", 0},
        {record("Name", "12x456"), "Name", 12},
        {record("abcdefgh", " 77"), "abcdefgh", 77},
        {record("Name", "-42"), "Name", -42},
        {std::string(14, '\0'), "", 0},  // a file of all ones
    };
    for (const Case& c : cases) {
        Bytes file = complemented(c.plain + c.plain + c.plain);
        decodeHighscores(file.data(), 42);
        SCOPED_TRACE(c.name);
        for (int i : {0, 2}) expectEntry(i, c.name, c.value);
    }
}

TEST(NewHighscore, BestScoreTiesGoToTheLowerPlayerAndMustBeatTheRecord) {
    resetHighscores();
    highscoreValue[0] = 500;
    highscoreValue[1] = 1000;
    highscoreValue[2] = 300;
    struct Case {
        int players;
        std::vector<int> scores;
        bool broken;
        int player;
        int best;
    };
    const Case cases[] = {
        {1, {500}, false, 0, 500},  // equal is no record
        {1, {501}, true, 0, 501},         {2, {200, 1000}, false, 1, 1000},
        {2, {1001, 1001}, true, 0, 1001}, {3, {400, 400, 400}, true, 0, 400},
        {3, {10, 20, 301}, true, 2, 301}, {3, {299, 50, 300}, false, 2, 300},
    };
    for (const Case& c : cases) {
        int player = -1, best = -1;
        EXPECT_EQ(isNewHighscore(c.players, c.scores.data(), player, best), c.broken)
            << c.players << " players";
        EXPECT_EQ(player, c.player) << c.players << " players";
        EXPECT_EQ(best, c.best) << c.players << " players";
    }
    int player = 0, best = 0;
    int scores[4] = {9999, 9999, 9999, 9999};
    EXPECT_FALSE(isNewHighscore(0, scores, player, best));
    EXPECT_FALSE(isNewHighscore(4, scores, player, best));
}

// Two copies of the game share the save directory: this one loaded its table long ago, the
// other saved a better 1-player record meanwhile. Saving a 2-player record keeps both.
TEST_F(HighscoreFile, ASaveKeepsWhatAnotherCopySavedMeanwhile) {
    setEntry(0, "Old", 100);
    setEntry(1, "Old", 100);
    ASSERT_EQ(saveHighscores(), 0);
    setEntry(0, "Other", 500);
    Bytes others = image();
    writeFileBytes(savedFile(), others);
    setEntry(0, "Old", 100);
    setEntry(1, "Mine", 300);
    ASSERT_EQ(saveHighscores(), 0);
    expectEntry(0, "Other", 500);  // what the menu shows from now on
    expectEntry(1, "Mine", 300);
    EXPECT_EQ(readFileBytes(savedFile()), image());
}

TEST_F(HighscoreFile, UncreatableSaveDirectoryIsReportedAndTheTableStays) {
    writeFileBytes(root / "blocker", Bytes(3, 1));
    paths().saveDir = (root / "blocker" / "save").string();
    setEntry(0, "Mem", 12);
    std::string err = stderrOf([] { EXPECT_NE(saveHighscores(), 0); });
    EXPECT_NE(err.find((root / "blocker" / "save" / "gx.raw").string()), std::string::npos) << err;
    expectEntry(0, "Mem", 12);  // the menu still shows the new entry
}

// Only a missing file means "no records yet". Anything else in its place may hold the
// player's records: it is named with the reason (each kind: file_readers_test), the game plays
// on the built-in table, and a record of that run is refused rather than written over it.
TEST_F(HighscoreFile, AFileThatCannotBeReadIsNamedAndNeverReplaced) {
    struct Case {
        const char* what;
        fs::path file;  // made a directory
        bool saveAllowed;
    };
    const fs::path dataCopy = root / "data" / "g" / "gx.raw";
    const Case cases[] = {
        {"directory", savedFile(), false},
        // The data directory's copy is never written, so the save goes ahead.
        {"unreadable data copy", dataCopy, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root / "save");
        fs::create_directories(root / "save");
        fs::remove_all(dataCopy);
        fs::create_directories(c.file);
        setEntry(0, "Junk", 77);
        std::string loadMessage = stderrOf(loadHighscores);
        expectEntry(0, "Zorvik", 0);
        EXPECT_NE(loadMessage.find(c.file.string() + ": it is a directory"), std::string::npos)
            << loadMessage;
        EXPECT_EQ(std::count(loadMessage.begin(), loadMessage.end(), '\n'), 1) << loadMessage;

        setEntry(0, "New", 5);
        int saved = 0;
        std::string saveMessage = stderrOf([&] { saved = saveHighscores(); });
        expectEntry(0, "New", 5);  // kept in memory for this run either way
        if (c.saveAllowed) {
            EXPECT_EQ(saved, 0) << saveMessage;
            EXPECT_EQ(readFileBytes(savedFile()), image());
        } else {
            EXPECT_NE(saved, 0);
            EXPECT_NE(saveMessage.find("cannot be kept"), std::string::npos) << saveMessage;
            EXPECT_TRUE(fs::is_directory(c.file)) << "the file was replaced";
            EXPECT_EQ(std::distance(fs::directory_iterator(root / "save"), {}), 1);
        }
    }
}

TEST(HighscoreText, ListsAllThreeEntriesInTheMenuFormat) {
    setEntry(0, "Abcdefgh", 999999);
    setEntry(1, "", 1500);
    setEntry(2, "Al", -3);
    char text[1000];
    buildHighscoreText(text, sizeof text);
    EXPECT_STREQ(text,
                 "************** Highscores:   1-Player-Game: 999999  (Abcdefgh)"
                 "                2-Player-Game: 1500  ()"
                 "                3-Player-Game: -3  (Al)"
                 "*******************                      ");
    resetHighscores();
}

// Two machines playing one game judge records against one table built from both.
TEST(HighscoreMerge, TheBetterRecordOfEachPlayerCountStandsAndTiesGoToTheHost) {
    setEntry(0, "Cyra", 90);
    setEntry(1, "Dov", 10);
    setEntry(2, "Eli", 50);
    const Bytes theirs = image();
    for (bool theirsWinTies : {false, true}) {
        setEntry(0, "Ann", 100);
        setEntry(1, "Zorvik", 0);
        setEntry(2, "Bo", 50);
        keepBetterHighscores(theirs.data(), theirsWinTies);
        expectEntry(0, "Ann", 100);
        expectEntry(1, "Dov", 10);
        EXPECT_STREQ(highscoreName[2], theirsWinTies ? "Eli" : "Bo");
    }
    resetHighscores();
}
