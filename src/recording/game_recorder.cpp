#include "recording/game_recorder.h"

#include <algorithm>
#include <cstdio>

#include "rules/highscore_table.h"
#include "rules/game_state.h"
#include "base/atomic_file.h"
#include "base/quote_text.h"
#include "recording/replay_store.h"

GameRecorder::GameRecorder(Settings settings) : settings_(std::move(settings)) {
    run_.origin = Recording::Origin::run;
    run_.gameVersion = PARAPET_VERSION;
    run_.startTick = settings_.runStartTick;
    std::copy(highscoreValue, highscoreValue + 3, run_.records);
    run_.minPlayers = game.minPlayers;
    gamesSeen_ = game.gamesStarted;
}

GameRecorder::~GameRecorder() {
    if (writer_.joinable()) writer_.join();
}

void GameRecorder::fillEnd(Recording& r) { std::copy(game.score, game.score + 3, r.scores); }

void GameRecorder::frameStepped(int frame, const FrameInput& input, int joysticks) {
    if (!settings_.runFile.empty()) {
        run_.add(frame, input);
        run_.joysticks = std::max(run_.joysticks, joysticks);
        run_.frames = frame;
    }
    // The seed is drawn in the step after Start was taken.
    if (game.gamesStarted != gamesSeen_) {
        gamesSeen_ = game.gamesStarted;
        run_.seeds.push_back(game.gameSeed);
        run_.players = game.numPlayers;
        if (gameOpen_ && game_.seeds.empty()) game_.seeds.push_back(game.gameSeed);
    }

    if (gameOpen_) {
        if (game.gameState == stateMenu) {
            endGame(frame - 1);
            return;
        }
        if (game.gameState == stateNameAccepted) nameSaved_ = true;
        game_.add(frame - gameOrigin_, input);
        return;
    }
    if (settings_.keepGames && game.gameState == stateNewGame && game.stateFrame == 0)
        beginGame(frame, joysticks);
}

void GameRecorder::beginGame(int frame, int joysticks) {
    gameOpen_ = true;
    gameOrigin_ = frame;
    nameSaved_ = false;
    savesAtStart_ = settings_.highscoreSavesWritten();
    game_ = Recording{};
    game_.origin = Recording::Origin::game;
    game_.gameVersion = PARAPET_VERSION;
    game_.dataHash = settings_.dataHash();
    game_.players = game.numPlayers;
    game_.minPlayers = game.minPlayers;
    game_.joysticks = joysticks;
    std::copy(highscoreValue, highscoreValue + 3, game_.records);
}

void GameRecorder::endGame(int lastFrame) {
    gameOpen_ = false;
    int frames = lastFrame - gameOrigin_;
    if (frames < 1 || game_.seeds.empty()) return;  // ended before it began
    game_.frames = frames;
    fillEnd(game_);
    game_.startTick = game_.seeds[0];
    int players = game_.players;
    int best = *std::max_element(game_.scores, game_.scores + players);
    // The record game is replaced only together with the record itself: not when the save
    // failed, nor when another copy of the game had saved a better one meanwhile.
    bool setTheRecord = nameSaved_ && best > game_.records[players - 1] &&
                        best == highscoreValue[players - 1] &&
                        settings_.highscoreSavesWritten() > savesAtStart_;
    store(formatRecording(game_), players, setTheRecord);
}

void GameRecorder::store(std::string text, int players, bool setTheRecord) {
    if (writer_.joinable()) writer_.join();
    auto write = [dir = settings_.replaysDir, text = std::move(text), players, setTheRecord] {
        std::string error;
        if (!storeGameRecording(dir, text, players, setTheRecord, error))
            std::fprintf(stderr, "parapet: the game's recording was not kept: %s\n", error.c_str());
    };
    if (settings_.writeInBackground)
        writer_ = std::thread(write);
    else
        write();
}

bool GameRecorder::finish(int lastFrame) {
    if (gameOpen_) endGame(lastFrame);
    if (writer_.joinable()) writer_.join();
    if (settings_.runFile.empty()) return true;
    run_.dataHash = settings_.dataHash();
    run_.frames = std::max(run_.frames, lastFrame);
    if (run_.frames < 1) run_.frames = 1;
    fillEnd(run_);
    std::string error;
    if (!writeFileAtomically(settings_.runFile, formatRecording(run_), error)) {
        std::fprintf(stderr, "parapet: cannot write the recording %s: %s\n",
                     quotePath(settings_.runFile).c_str(), error.c_str());
        return false;
    }
    return true;
}
