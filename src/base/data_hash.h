#pragma once
#include <string>

// A fingerprint of the game's data files (every picture, sound and music file under the data
// directory, by name and content; the highscore file is not game data). Two machines with the
// same fingerprint play the same game from the same input, so recordings and network peers
// compare it before trusting each other. 16 hex digits; "unreadable" when a data file cannot
// be read. Computed once per data directory and then remembered.
std::string dataFilesHash();
// The same for any directory, computed afresh (tests, tools).
std::string hashDataDirectory(const std::string& dataDir);
