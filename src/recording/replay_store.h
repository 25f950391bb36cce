#pragma once
#include <string>

// The recordings kept in <save directory>/replays: the last keptGames games as
// game-NNNNNN.replay (numbered in the order played), and for each player count the game
// that set the stored record, record-1p.replay to record-3p.replay.
constexpr int keptGames = 20;

std::string replaysDirectory();  // from the save directory in paths()
std::string recordGamePath(const std::string& dir, int players);

// Writes a finished game's recording as the newest kept game, and over the record game of
// its player count when it set the record; then removes the oldest games beyond keptGames.
// Each file is written crash-safely. On failure returns false with a reason naming the file.
bool storeGameRecording(const std::string& dir, const std::string& text, int players,
                        bool setTheRecord, std::string& error);
