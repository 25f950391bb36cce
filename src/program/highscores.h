#pragma once
#include <string>

// The highscore table of the world in play: one record per player count, index 0, 1, 2 for
// 1-, 2- and 3-player games.
extern char (&highscoreName)[3][9];
extern int (&highscoreValue)[3];

// Back to the built-in table ("Zorvik", 0 for every entry).
void resetHighscores();
// Reads "g\\gx.raw" (save directory first, then the data directory); a missing file keeps
// the table, a short or corrupt one can never overrun it. A file that exists but cannot be
// read (or is no regular file) is named on stderr, the built-in table is used, and no save
// of this run replaces it.
void loadHighscores();
// Writes the whole table crash-safely (to the file a symbolic link gx.raw points to, if it is
// one), clearing temporary files that killed saves left; 0 on success, non-zero (with a line
// on stderr) when the old file had to be kept. Sets highscoresChanged either way.
int saveHighscores();
// Playback and the demo replay games that may beat the record; they must not touch the
// stored table. While off, saveHighscores only marks the table as changed.
void setHighscoresWritable(bool writable);
// The 42-byte complemented file image of the table, and its reverse.
void encodeHighscores(unsigned char out[42]);
void decodeHighscores(const unsigned char* data, long length);
// Best of the players' scores (ties to the lower index) and whether it beats the record of
// that player count.
bool isNewHighscore(int players, const int* scores, int& bestPlayer, int& bestScore);
// Two machines playing one game must judge records against one table: each record of the
// 42-byte image `theirs` that beats ours replaces it (on a tie the host's stands, so both
// machines end with the same table).
void keepBetterHighscores(const unsigned char* theirs, bool theirsWinTies);
