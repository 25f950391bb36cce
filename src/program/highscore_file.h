#pragma once
#include <string>

#include "rules/highscore_table.h"

// The highscore file gx.raw on disk.
enum class HighscoreRead { missing, read, unreadable };
// Reads the file without ever blocking on it; `reason` says why an existing one is unreadable
// (a directory, a pipe, a read error).
HighscoreRead readHighscoreFile(const std::string& path, HighscoreTable& table,
                                std::string& reason);

// Saves `ours` merged with the file as it is on disk now: under an exclusive lock (flock on
// <file>.lock beside the file a link gx.raw leads to), the current file is read, the better
// record of each player count kept (the one on disk on a tie) and the result written through
// the atomic writer. So two copies of the game sharing a save directory never save over each
// other's records. `saved` is the table written. False with the reason when the file on disk
// cannot be read or replaced; it is then left as it is.
bool saveHighscoreFile(const std::string& path, const HighscoreTable& ours, HighscoreTable& saved,
                       std::string& error);
