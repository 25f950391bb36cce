#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/frame_input.h"

// A recorded stretch of play: what is needed to play it again exactly (the seeds, the player
// count, the records in effect, the controllers) and what the players did in every frame,
// counted from the recording's own frame 1. The players' input is kept as the game read it,
// after the bindings of the machine it was played on, so it plays back the same under any
// settings file. The text form is a short header and then one line for each change of a
// player's input, so a person can read it and a script tool can cut it up.
//
// Recordings of the first format kept key presses instead, with the keys of players 1 and 2;
// they are read into the same form, through those keys.
struct Recording {
    static constexpr int formatVersion = 2;
    // A game recording starts at the step in which the menu's Start was taken and ends when
    // the menu is back; a run recording (--record) starts at the run's first frame.
    enum class Origin { game, run };

    // The input from `frame` on, until the next change.
    struct Change {
        int frame = 0;
        FrameInput input;  // its clock is not kept: the seeds stand for it
    };

    Origin origin = Origin::game;
    std::string gameVersion;
    std::string dataHash;
    uint32_t startTick = 0;       // the clock at the run's start (run) or the game's seed (game)
    std::vector<uint32_t> seeds;  // each new game's seed, in order
    int players = 1;
    int joysticks = 0;
    int records[3] = {};  // the stored record of each player count when the recording began
    int scores[3] = {};   // the players' scores at the end
    int frames = 0;       // how many frame steps it covers
    std::vector<Change> changes;

    // Appends the input of frame `frame` (frames in order) if it differs from the last.
    void add(int frame, const FrameInput& input);
};

// A recording's input, frame after frame from frame 1.
class RecordedInput {
public:
    explicit RecordedInput(const Recording& recording) : recording_(recording) {}
    FrameInput next();

private:
    const Recording& recording_;
    int frame_ = 0;
    size_t change_ = 0;
    FrameInput input_;
};

// The whole file text.
std::string formatRecording(const Recording& recording);
// Reads a file's text; on failure says which line and why ("line 3: ..."). A file of a format
// version this game does not know is refused before anything else is read from it.
bool parseRecording(std::string_view text, Recording& recording, std::string& error);
// Reads and parses a file; errors name the file.
bool loadRecording(const std::string& path, Recording& recording, std::string& error);
// Whether this build with these data files plays the recording as it was played; if not,
// names what differs.
bool recordingPlaysHere(const Recording& recording, const std::string& dataHash,
                        std::string& error);
