#pragma once
#include <string>

// Where the game's files live on this machine.
struct Paths {
    std::string dataDir;        // holds g/, s/, m/
    std::string saveDir;        // the highscore file
    std::string screenshotDir;  // screenshots
};

// The directories in use; set once by the shell (tests may set their own).
Paths& paths();

// Maps a name as the game writes it to a real path: "g\\x.raw", "s\\x.raw", "m\\x.raw" to the
// data directory, "c:\\snapNN.bmp" to the screenshot directory; any other name is returned
// unchanged (already a real path).
std::string resolveDataPath(const char* gameName);
// The highscore file for writing: "g\\gx.raw" in the save directory.
std::string resolveSavePath(const char* gameName);

// Default directories per the command line, environment and executable location.
std::string defaultDataDir(const char* argv0);
std::string defaultSaveDir();
// The data directory of a program in exeDir: data/ there (the build tree), else the
// installed layout's data directory relative to it; data/ when neither exists.
std::string dataDirBeside(const std::string& exeDir);
