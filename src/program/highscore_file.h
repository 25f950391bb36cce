#pragma once
#include <string>

// The highscore file gx.raw: 42 bytes, three records of 8 name bytes and 6 score characters
// (1-, 2- and 3-player games), every byte stored complemented. These functions take and give
// the table as a plain value, so they serve wherever the game keeps its table.
struct HighscoreTable {
    char name[3][9];  // each NUL-terminated after at most 8 bytes
    int value[3];
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
