#include "recording/recording.h"

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "base/file_util.h"
#include "base/quote_text.h"
#include "input/default_bindings.h"
#include "input/device_input.h"
#include "platform/headless/input_script.h"
#include "recording/recording_seal.h"

namespace {

constexpr int maxFrames = INT_MAX;
constexpr size_t maxSeeds = 1'000'000;

template <typename T>
bool number(std::string_view text, T& value, T low, T high) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low &&
           value <= high;
}

// Walks the header lines, one "name value..." per line, in a fixed order.
class HeaderReader {
public:
    explicit HeaderReader(std::string_view text) : text_(text) {}

    // The next line that is not blank or a comment, split into words; false at the end.
    bool next(std::vector<std::string_view>& out) {
        while (pos_ < text_.size()) {
            size_t end = text_.find('\n', pos_);
            if (end == std::string_view::npos) end = text_.size();
            std::string_view line = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
            ++line_;
            if (size_t hash = line.find('#'); hash != std::string_view::npos)
                line = line.substr(0, hash);
            out = splitWords(line);
            if (!out.empty()) return true;
        }
        return false;
    }
    int line() const { return line_; }
    size_t position() const { return pos_ > text_.size() ? text_.size() : pos_; }

private:
    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 0;
};

std::string at(int line, const std::string& reason) {
    return "line " + std::to_string(line) + ": " + reason;
}

bool hexNumber(std::string_view text, uint64_t& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

// The first format's key presses, played through the keys and controllers they were
// recorded with, as its playback always read them. The input can only change at a frame
// with commands or at the one after (the players' keys reach their controls a frame late).
void readKeyPresses(const std::vector<InputCommand>& commands, const PlayerKeys keys[2],
                    Recording& r) {
    DeviceInput devices(r.joysticks);
    devices.reader().setUpJoysticks(3);
    devices.reader().bindPlayerKeys(keys);
    std::set<int> frames;
    for (const InputCommand& c : commands) {
        frames.insert(c.frame);
        if (c.frame < r.frames) frames.insert(c.frame + 1);
    }
    frames.insert(1);
    size_t next = 0;
    std::vector<InputCommand> now;
    for (int frame : frames) {
        now.clear();
        while (next < commands.size() && commands[next].frame <= frame) now.push_back(commands[next++]);
        FrameInput input = devices.read(now, 0);
        r.add(frame, input);
    }
}

}  // namespace

void Recording::add(int frame, const FrameInput& input) {
    FrameInput kept = input;
    kept.clock = 0;
    if (!changes.empty() && changes.back().input.sameActions(kept)) return;
    if (changes.empty() && kept.sameActions(FrameInput{})) return;
    changes.push_back(Change{frame, kept});
}

FrameInput RecordedInput::next() {
    ++frame_;
    while (change_ < recording_.changes.size() && recording_.changes[change_].frame <= frame_)
        input_ = recording_.changes[change_++].input;
    return input_;
}

std::string formatRecording(const Recording& r) {
    std::ostringstream out;
    out << "# A Parapet recording; watch it with: parapet --replay <this file>\n"
        << "parapet-replay " << Recording::formatVersion << "\n"
        << "game-version " << r.gameVersion << "\n"
        << "data-hash " << r.dataHash << "\n"
        << "from " << (r.origin == Recording::Origin::game ? "game" : "run") << "\n"
        << "start-tick " << r.startTick << "\n"
        << "seeds";
    for (uint32_t seed : r.seeds) out << ' ' << seed;
    out << "\nplayers " << r.players << "\n"
        << "joysticks " << r.joysticks << "\n"
        << "records " << r.records[0] << ' ' << r.records[1] << ' ' << r.records[2] << "\n"
        << "scores " << r.scores[0] << ' ' << r.scores[1] << ' ' << r.scores[2] << "\n"
        << "frames " << r.frames << "\n"
        << "# <frame> p<player> <keys> <buttons> <directions>: a player's input from then on\n"
        << "events\n";
    FrameInput before;
    for (const Recording::Change& c : r.changes) {
        for (int p = 0; p < inputPlayers; ++p) {
            const PlayerInput& in = c.input.players[p];
            if (in == before.players[p]) continue;
            char line[96];
            std::snprintf(line, sizeof line, "%d p%d %" PRIx64 " %" PRIx32 " %d\n", c.frame, p,
                          in.keys, in.buttons, in.directions);
            out << line;
        }
        if (c.input.padsAnswering != before.padsAnswering)
            out << c.frame << " pads " << static_cast<int>(c.input.padsAnswering) << "\n";
        before = c.input;
    }
    out << "end " << r.frames << "\n";
    return sealRecording(out.str());
}

namespace {

// The event lines of the current format: "<frame> p<player> <keys> <buttons> <directions>"
// (hexadecimal keys and buttons) and "<frame> pads <count>", frames in order.
bool parseInputChanges(std::string_view text, int firstLine, Recording& r, std::string& error) {
    FrameInput input;
    int frame = 0;
    bool pending = false;
    int line = firstLine;
    for (size_t pos = 0; pos < text.size(); ++line) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view content = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (size_t hash = content.find('#'); hash != std::string_view::npos)
            content = content.substr(0, hash);
        std::vector<std::string_view> w = splitWords(content);
        if (w.empty()) continue;
        int at_ = 0;
        if (!number(w[0], at_, 1, r.frames)) {
            error = at(line + 1, "bad frame (1 to " + std::to_string(r.frames) + ")");
            return false;
        }
        if (at_ < frame) {
            error = at(line + 1, "frames go backwards");
            return false;
        }
        if (at_ > frame && pending) r.add(frame, input);
        frame = at_;
        pending = true;
        if (w.size() == 3 && w[1] == "pads") {
            int pads = 0;
            if (!number(w[2], pads, 0, 8)) {
                error = at(line + 1, "bad controller count (0-8)");
                return false;
            }
            input.padsAnswering = static_cast<uint8_t>(pads);
            continue;
        }
        int player = -1;
        uint64_t keys = 0, buttons = 0;
        int directions = 0;
        if (w.size() != 5 || w[1].size() != 2 || w[1][0] != 'p' || w[1][1] < '0' ||
            w[1][1] > '2' || !hexNumber(w[2], keys) || (keys & ~allGameKeys()) != 0 ||
            !hexNumber(w[3], buttons) || buttons > 0xFFFFFFFFu || !number(w[4], directions, 0, 15)) {
            error = at(line + 1, "bad input line (expected <frame> p<0-2> <keys> <buttons> "
                                 "<directions>, or <frame> pads <count>)");
            return false;
        }
        player = w[1][1] - '0';
        PlayerInput& p = input.players[player];
        p.keys = keys;
        p.buttons = static_cast<uint32_t>(buttons);
        p.directions = static_cast<uint8_t>(directions);
    }
    if (pending) r.add(frame, input);
    return true;
}

}  // namespace

bool parseRecording(std::string_view file, Recording& r, std::string& error) {
    HeaderReader reader(file);
    std::vector<std::string_view> w;
    if (!reader.next(w) || w[0] != "parapet-replay") {
        error = "not a Parapet recording (no 'parapet-replay' line at the top)";
        return false;
    }
    int version = 0;
    if (w.size() != 2 || !number(w[1], version, 0, 1'000'000)) {
        error = at(reader.line(), "unreadable format version");
        return false;
    }
    if (version < 1 || version > Recording::formatVersion) {
        error = "recording format version " + std::to_string(version) + ", this game reads 1 to " +
                std::to_string(Recording::formatVersion);
        return false;
    }
    // Nothing of a changed file is trusted: a different seed or a lost event would play
    // another game as if it were this one. Files of the versions before the checksum have
    // only their end line to show they are whole; players keep such files, so they still play.
    std::string_view text = file;
    if (version >= Recording::firstSealedVersion) {
        if (!unsealRecording(file, text, error)) return false;
        reader = HeaderReader(text);
        reader.next(w);  // the format line again, read above
    }

    // Every header line, in this order, then "events".
    auto expect = [&](const char* name, size_t minWords, size_t maxWords) -> bool {
        if (!reader.next(w)) {
            error = std::string("truncated: the header ends before '") + name + "'";
            return false;
        }
        if (w[0] != name) {
            error = at(reader.line(),
                       std::string("expected '") + name + "', got '" + quoteText(w[0]) + "'");
            return false;
        }
        if (w.size() < minWords || w.size() > maxWords) {
            error = at(reader.line(), std::string("wrong number of values for '") + name + "'");
            return false;
        }
        return true;
    };
    auto bad = [&](const char* what) {
        error = at(reader.line(), std::string("bad ") + what);
        return false;
    };
    constexpr uint32_t maxTick = 0xFFFFFFFFu;
    if (!expect("game-version", 2, 2)) return false;
    r.gameVersion = std::string(w[1]);
    if (!expect("data-hash", 2, 2)) return false;
    r.dataHash = std::string(w[1]);
    if (!expect("from", 2, 2)) return false;
    if (w[1] == "game")
        r.origin = Recording::Origin::game;
    else if (w[1] == "run")
        r.origin = Recording::Origin::run;
    else
        return bad("origin (expected game or run)");
    if (!expect("start-tick", 2, 2)) return false;
    if (!number<uint32_t>(w[1], r.startTick, 0, maxTick)) return bad("start tick");
    if (!expect("seeds", 1, maxSeeds + 1)) return false;
    r.seeds.clear();
    for (size_t i = 1; i < w.size(); ++i) {
        uint32_t seed = 0;
        if (!number<uint32_t>(w[i], seed, 0, maxTick)) return bad("seed");
        r.seeds.push_back(seed);
    }
    if (r.origin == Recording::Origin::game && r.seeds.size() != 1)
        return bad("seeds (a game recording has exactly one)");
    if (!expect("players", 2, 2)) return false;
    if (!number(w[1], r.players, 1, 3)) return bad("player count (1-3)");
    if (!expect("joysticks", 2, 2)) return false;
    if (!number(w[1], r.joysticks, 0, 8)) return bad("joystick count (0-8)");
    PlayerKeys keys[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
    if (version == 1) {
        if (!expect("keys", 1 + 7 * keyboardPlayers, 1 + 7 * keyboardPlayers)) return false;
        for (int p = 0; p < keyboardPlayers; ++p) {
            PlayerKeys& k = keys[p];
            int* fields[] = {&k.up, &k.down, &k.left, &k.right, &k.fire, &k.chainsaw, &k.bomb};
            for (int f = 0; f < 7; ++f)
                if (!number(w[1 + 7 * p + f], *fields[f], 0, 255)) return bad("key code (0-255)");
        }
    }
    if (!expect("records", 4, 4)) return false;
    // Whatever the table and the game hold, the writer writes and the reader reads back: a
    // highscore file may hold a negative record.
    for (int i = 0; i < 3; ++i)
        if (!number(w[i + 1], r.records[i], INT_MIN, INT_MAX)) return bad("record");
    if (!expect("scores", 4, 4)) return false;
    for (int i = 0; i < 3; ++i)
        if (!number(w[i + 1], r.scores[i], INT_MIN, INT_MAX)) return bad("score");
    if (!expect("frames", 2, 2)) return false;
    if (!number(w[1], r.frames, 1, maxFrames)) return bad("frame count");
    if (!expect("events", 1, 1)) return false;

    // The events run up to the "end" line, which must repeat the frame count: a file cut
    // short anywhere (even between two whole lines) is noticed.
    std::string_view rest = text.substr(reader.position());
    size_t endAt = std::string_view::npos;
    for (size_t pos = 0; pos < rest.size();) {
        size_t eol = rest.find('\n', pos);
        if (eol == std::string_view::npos) eol = rest.size();
        std::vector<std::string_view> lw = splitWords(rest.substr(pos, eol - pos));
        if (!lw.empty() && lw[0] == "end") {
            endAt = pos;
            int frames = 0;
            if (lw.size() != 2 || !number(lw[1], frames, 0, maxFrames) || frames != r.frames) {
                error = "corrupt: the end line does not repeat the frame count " +
                        std::to_string(r.frames);
                return false;
            }
            for (size_t after = eol; after < rest.size(); ++after)
                if (rest[after] != '\n' && rest[after] != '\r' && rest[after] != ' ') {
                    error = "corrupt: text after the end line";
                    return false;
                }
            break;
        }
        pos = eol + 1;
    }
    if (endAt == std::string_view::npos) {
        error = "truncated: no end line";
        return false;
    }
    r.changes.clear();
    if (version == 1) {
        InputScript script;
        std::string reason;
        if (!parseInputScript(rest.substr(0, endAt), script, reason)) {
            // "input:<n>: why" counts from the events; say where it is in the file.
            size_t colon = reason.find(':', 6);
            int eventLine = 0;
            std::from_chars(reason.data() + 6, reason.data() + reason.size(), eventLine);
            error = at(reader.line() + eventLine,
                       colon == std::string::npos ? reason : reason.substr(colon + 2));
            return false;
        }
        for (const InputCommand& c : script.commands) {
            if (c.frame > r.frames) {
                error = "corrupt: an event at frame " + std::to_string(c.frame) +
                        " after the last (" + std::to_string(r.frames) + ")";
                return false;
            }
            if (c.kind != InputCommand::Kind::key && c.joystick >= r.joysticks) {
                error = "corrupt: an event for joystick " + std::to_string(c.joystick) +
                        " but only " + std::to_string(r.joysticks) + " recorded";
                return false;
            }
        }
        readKeyPresses(script.commands, keys, r);
        return true;
    }
    return parseInputChanges(rest.substr(0, endAt), reader.line(), r, error);
}

bool loadRecording(const std::string& path, Recording& recording, std::string& error) {
    auto fail = [&](const std::string& why) {
        error = "parapet: cannot play the recording " + quotePath(path) + ": " + why;
        return false;
    };
    // Never blocks on a pipe, never reads a device or a huge file whole: the demo looks at
    // whatever lies in the replays folder without anybody asking for it.
    std::string text;
    std::string reason;
    bool missing = false;
    if (!readCappedFile(
            path, maxRecordingBytes,
            [&](std::string_view bytes) {
                text.append(bytes);
                return true;
            },
            missing, reason))
        return fail(reason);
    if (!parseRecording(text, recording, reason)) return fail(reason);
    return true;
}

bool playbackMatchesRecording(const Recording& r, const int* scores, std::string& error) {
    if (std::equal(r.scores, r.scores + 3, scores)) return true;
    error = "the playback ended with the scores " + std::to_string(scores[0]) + " " +
            std::to_string(scores[1]) + " " + std::to_string(scores[2]) +
            ", but the recording says " + std::to_string(r.scores[0]) + " " +
            std::to_string(r.scores[1]) + " " + std::to_string(r.scores[2]) +
            ": this game does not play it as it was played";
    return false;
}

bool recordingPlaysHere(const Recording& r, const std::string& dataHash, std::string& error) {
    if (r.gameVersion != PARAPET_VERSION) {
        error = "it was made by game version " + quoteText(r.gameVersion) + ", this is " +
                PARAPET_VERSION;
        return false;
    }
    if (r.dataHash != dataHash) {
        error = "it was made with other data files (data hash " + quoteText(r.dataHash) +
                ", here " + dataHash + ")";
        return false;
    }
    return true;
}
