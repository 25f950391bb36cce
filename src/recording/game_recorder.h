#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "recording/recording.h"

// Listens to a run's input and game flow and writes recordings: each game played (from the
// menu's Start to the menu's return) into the kept replays, and with --record the whole run
// into one file. Files are written once, when a game or the run ends, on a thread of their
// own so the frame that ends a game is not held up by the disk.
class GameRecorder {
public:
    struct Settings {
        bool keepGames = true;   // store each game in the replays directory
        std::string runFile;     // --record: the whole run, written at its end
        std::string replaysDir;  // where kept games go
        // The data files' fingerprint, asked for when a recording is first made (it reads
        // every data file, which the start-up has no time for).
        std::function<std::string()> dataHash = [] { return std::string(); };
        uint32_t runStartTick = 0;  // the clock when the run began
        // How many highscore saves of this run have reached the file so far: a game's record
        // game is kept only together with its record.
        std::function<int()> highscoreSavesWritten = [] { return 0; };
        // A build without threads (the browser's) writes in the frame that ends the game.
#ifdef PARAPET_SINGLE_THREADED
        bool writeInBackground = false;
#else
        bool writeInBackground = true;
#endif
    };

    explicit GameRecorder(Settings settings);
    ~GameRecorder();

    // After the players' world stepped frame `frame` with `input`; `joysticks` is how many
    // controllers the game sees.
    void frameStepped(int frame, const FrameInput& input, int joysticks);
    // The run is over after `lastFrame`: writes what is still open. Returns false (after a
    // line on stderr) when the --record file could not be written.
    bool finish(int lastFrame);

private:
    void beginGame(int frame, int joysticks);
    void endGame(int lastFrame);
    void store(std::string text, int players, bool setTheRecord);
    static void fillEnd(Recording& recording);

    Settings settings_;
    int gamesSeen_ = 0;

    Recording run_;
    bool gameOpen_ = false;
    int gameOrigin_ = 0;  // the frame step in which Start was taken
    bool nameSaved_ = false;
    int savesAtStart_ = 0;  // highscore saves written before the game began
    Recording game_;
    std::thread writer_;
};
