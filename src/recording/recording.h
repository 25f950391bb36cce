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
// they are read into the same form, through those keys. From version 3 on a file ends with a
// checksum line; older files are read without one.
struct Recording {
    static constexpr int formatVersion = 3;
    static constexpr int firstSealedVersion = 3;
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

// The longest real game is far shorter; a bigger file is no recording of ours.
constexpr long maxRecordingBytes = 16L << 20;

// The whole file text, sealed with a checksum line (shell/recording_seal.h).
std::string formatRecording(const Recording& recording);
// Reads a file's text; on failure says which line and why ("line 3: ..."). A file of another
// format version is refused before anything else is read from it, then one whose checksum
// does not match.
bool parseRecording(std::string_view text, Recording& recording, std::string& error);
// Reads and parses a file; errors name the file. Only a regular file of at most
// maxRecordingBytes is read, and opening it never blocks.
bool loadRecording(const std::string& path, Recording& recording, std::string& error);
// After a playback ran to its last frame: whether it ended with the scores the recording
// says; if not, `error` says how they differ.
bool playbackMatchesRecording(const Recording& recording, const int* scores, std::string& error);
// Whether this build with these data files plays the recording as it was played; if not,
// names what differs.
bool recordingPlaysHere(const Recording& recording, const std::string& dataHash,
                        std::string& error);
