#pragma once

// The record table: one record per player count, index 0, 1, 2 for 1-, 2- and 3-player
// games. Its file image (gx.raw) is 42 bytes, three records of 8 name bytes and 6 score
// characters, every byte stored complemented. The functions on a table value serve wherever
// a table is kept: in the world, on disk, in a network hello.
struct HighscoreTable {
    char name[3][9] = {"Zorvik", "Zorvik", "Zorvik"};  // each NUL-terminated after 8 bytes
    int value[3] = {};
};
constexpr int highscoreFileBytes = 42;

// "Zorvik" with 0 for every player count.
HighscoreTable builtInHighscores();
void encodeHighscoreTable(const HighscoreTable& table, unsigned char out[highscoreFileBytes]);
// A record the data does not hold whole keeps its built-in entry.
HighscoreTable decodeHighscoreTable(const unsigned char* data, long length);
// Per player count the better of the two records; on equal scores `theirs` stands when
// theirsWinTies, else `ours`.
HighscoreTable betterHighscores(const HighscoreTable& ours, const HighscoreTable& theirs,
                                bool theirsWinTies);

// The table of the world in play.
extern char (&highscoreName)[3][9];
extern int (&highscoreValue)[3];
HighscoreTable worldHighscores();
void setWorldHighscores(const HighscoreTable& table);

// Back to the built-in table ("Zorvik", 0 for every entry).
void resetHighscores();
// The 42-byte complemented file image of the world's table, and its reverse.
void encodeHighscores(unsigned char out[highscoreFileBytes]);
void decodeHighscores(const unsigned char* data, long length);
// Best of the players' scores (ties to the lower index) and whether it beats the record of
// that player count.
bool isNewHighscore(int players, const int* scores, int& bestPlayer, int& bestScore);
// Two machines playing one game must judge records against one table: each record of the
// 42-byte image `theirs` that beats ours replaces it (on a tie the host's stands, so both
// machines end with the same table).
void keepBetterHighscores(const unsigned char* theirs, bool theirsWinTies);
