#pragma once
#include <string>

#include "rules/highscore_table.h"

// Reads "g\\gx.raw" (save directory first, then the data directory); a missing file keeps
// the table, a short or corrupt one can never overrun it. A file that exists but cannot be
// read (or is no regular file) is named on stderr, the built-in table is used, and no save
// of this run replaces it.
void loadHighscores();
// Writes the whole table crash-safely (to the file a symbolic link gx.raw points to, if it is
// one), merged under a lock with what another copy of the game saved meanwhile (the table
// then holds the merged records); 0 on success, non-zero (with a line on stderr) when the old
// file had to be kept.
int saveHighscores();
// How many saves of this run reached the file: a game's record counts as kept only if one did.
int highscoreSavesWritten();
// Playback and the demo replay games that may beat the record; they must not touch the
// stored table. While off, saveHighscores only marks the table as changed.
void setHighscoresWritable(bool writable);
