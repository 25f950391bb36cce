#include "program/highscores.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "rules/game_state.h"
#include "program/highscore_file.h"
#include "base/paths.h"
#include "base/quote_text.h"
#include "base/trace.h"

namespace {
constexpr const char* highscoreFile = "g\\gx.raw";

void reportSaveFailure(const std::string& path, const std::string& reason) {
    std::fprintf(stderr,
                 "parapet: could not save the highscores to %s: %s (the previous file is kept; "
                 "check that the save directory is writable)\n",
                 quotePath(path).c_str(), reason.c_str());
}

// The highscore file of this run when it exists but could not be read.
struct RefusedFile {
    bool refused = false;
    std::string path;
    std::string reason;
} refusedFile;

bool highscoresWritable = true;
int savesWritten = 0;
}  // namespace

void setHighscoresWritable(bool writable) { highscoresWritable = writable; }

int highscoreSavesWritten() { return savesWritten; }

void loadHighscores() {
    refusedFile = {};
    std::string savePath = resolveSavePath(highscoreFile);
    std::string reason;
    HighscoreTable table;
    HighscoreRead found = readHighscoreFile(savePath, table, reason);
    if (found == HighscoreRead::read) setWorldHighscores(table);
    if (found == HighscoreRead::missing) {
        // The data directory's copy is only a starting table: a save never replaces it, so
        // failing to read it costs nothing but the message.
        std::string dataPath = resolveDataPath(highscoreFile);
        found = readHighscoreFile(dataPath, table, reason);
        if (found == HighscoreRead::read) setWorldHighscores(table);
        if (found == HighscoreRead::unreadable) {
            resetHighscores();
            std::fprintf(stderr,
                         "parapet: cannot read the highscore file %s: %s; playing with "
                         "the built-in table\n",
                         quotePath(dataPath).c_str(), reason.c_str());
        }
        return;
    }
    if (found == HighscoreRead::unreadable) {
        // The player's records may be in there: play on, but never write over them.
        resetHighscores();
        refusedFile = {true, savePath, reason};
        std::fprintf(stderr,
                     "parapet: cannot read the highscore file %s: %s; playing with the built-in "
                     "table, and the file is left as it is\n",
                     quotePath(savePath).c_str(), reason.c_str());
    }
}

int saveHighscores() {
    if (!highscoresWritable) return 0;

    namespace fs = std::filesystem;
    std::string path = resolveSavePath(highscoreFile);
    if (refusedFile.refused) {
        std::fprintf(stderr,
                     "parapet: the new highscore cannot be kept: the highscore file %s could not "
                     "be read at start-up (%s), so it is left as it is\n",
                     quotePath(refusedFile.path).c_str(), refusedFile.reason.c_str());
        return 1;
    }
    std::string dir = fs::path(path).parent_path().string();
    std::error_code ec;
    if (!dir.empty()) {
        fs::create_directories(dir, ec);
        if (ec) {
            reportSaveFailure(path, "cannot create " + quotePath(dir) + ": " + ec.message());
            return 1;
        }
    }
    // Another copy of the game may have saved a better record meanwhile; the merged table is
    // what the file holds now, and what this run shows from here on.
    HighscoreTable saved;
    std::string error;
    if (!saveHighscoreFile(path, worldHighscores(), saved, error)) {
        reportSaveFailure(path, error);
        return 1;
    }
    setWorldHighscores(saved);
    ++savesWritten;
    traceHighscoreSaved(path);
    return 0;
}
