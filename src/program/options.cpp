#include "program/options.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <string_view>

#include "base/quote_text.h"

#ifndef PARAPET_VERSION
#define PARAPET_VERSION "unknown"
#endif

namespace {

// Strict decimal parse: the whole text, nothing else, within [low, high].
bool parseInteger(std::string_view text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    long long parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    if (parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

struct OptionRow {
    const char* name;
    const char* argument;  // null: a flag without value
    const char* help;
    // Stores the value; returns an empty string or the reason it is rejected.
    std::function<std::string(Options&, std::string_view)> apply;
};

std::string integerOption(std::string_view value, long long low, long long high, long long& out,
                          const char* what) {
    if (parseInteger(value, low, high, out)) return {};
    return "expects " + std::string(what) + ", got '" + quoteText(value) + "'";
}

// HOST[:PORT] of --join and --spectate: the port, when given, replaces the default.
std::string hostAndPort(Options& o, std::string_view v) {
    size_t colon = v.rfind(':');
    o.joinHost = std::string(v.substr(0, colon));
    if (colon == std::string_view::npos) return {};
    long long n = 0;
    std::string e =
        integerOption(v.substr(colon + 1), 1, 65535, n, "HOST:PORT with a port from 1 to 65535");
    if (e.empty() && o.joinHost.empty()) e = "expects a host name before the port";
    if (e.empty()) o.netPort = static_cast<int>(n);
    return e;
}

std::string screenshotFrameList(Options& o, std::string_view value) {
    std::vector<int> frames;
    size_t start = 0;
    while (true) {
        size_t comma = value.find(',', start);
        std::string_view item = value.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        long long frame = 0;
        if (!parseInteger(item, 1, 2147483647, frame))
            return "expects frame numbers of 1 or more separated by commas, got '" +
                   quoteText(value) + "'";
        frames.push_back(static_cast<int>(frame));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    o.screenshotFrames = frames;
    return {};
}

// Every option of the program; a new one is one more row.
const std::vector<OptionRow>& optionTable() {
    static const std::vector<OptionRow> rows = {
        {"--windowed", nullptr, "play in a window",
         [](Options& o, std::string_view) {
             o.fullscreen = false;
             o.windowModeGiven = true;
             return std::string();
         }},
        {"--fullscreen", nullptr, "play full screen (the default)",
         [](Options& o, std::string_view) {
             o.fullscreen = true;
             o.windowModeGiven = true;
             return std::string();
         }},
        {"--scale", "N", "window size as N times 640 x 480 (1-8, default 2)",
         [](Options& o, std::string_view v) {
             long long n = 0;
             std::string e = integerOption(v, 1, 8, n, "a whole number from 1 to 8");
             if (e.empty()) o.scale = static_cast<int>(n);
             o.scaleGiven = e.empty();
             return e;
         }},
        {"--data", "DIR", "the game's data directory (holds g/, s/, m/)",
         [](Options& o, std::string_view v) {
             o.dataDir = v;
             return std::string();
         }},
        {"--save-dir", "DIR", "where the highscore file is kept",
         [](Options& o, std::string_view v) {
             o.saveDir = v;
             return std::string();
         }},
        {"--screenshot-dir", "DIR", "where screenshots are written",
         [](Options& o, std::string_view v) {
             o.screenshotDir = v;
             return std::string();
         }},
        {"--log", "FILE", "write the diagnostic log to FILE",
         [](Options& o, std::string_view v) {
             o.logFile = v;
             return std::string();
         }},
        {"--headless", nullptr, "no window and no sound; virtual clock; as fast as possible",
         [](Options& o, std::string_view) {
             o.headless = true;
             return std::string();
         }},
        {"--frames", "N", "stop after frame N",
         [](Options& o, std::string_view v) {
             long long n = 0;
             std::string e = integerOption(v, 1, 2147483647, n, "a frame count of 1 or more");
             if (e.empty()) o.frames = static_cast<int>(n);
             return e;
         }},
        {"--input", "FILE", "headless: keys and joysticks from an input script",
         [](Options& o, std::string_view v) {
             o.inputFile = v;
             return std::string();
         }},
        {"--trace", "FILE", "write the events of the run to FILE (JSON Lines)",
         [](Options& o, std::string_view v) {
             o.traceFile = v;
             return std::string();
         }},
        {"--trace-input", nullptr, "also trace key and player control changes",
         [](Options& o, std::string_view) {
             o.traceInput = true;
             return std::string();
         }},
        {"--joysticks", "N", "headless: number of simulated joysticks (0-8, default 0)",
         [](Options& o, std::string_view v) {
             long long n = 0;
             std::string e = integerOption(v, 0, 8, n, "a whole number from 0 to 8");
             if (e.empty()) o.joysticks = static_cast<int>(n);
             return e;
         }},
        {"--start-tick", "T", "headless: the virtual clock's first tick (default 0)",
         [](Options& o, std::string_view v) {
             long long n = 0;
             std::string e =
                 integerOption(v, 0, 4294967295LL, n, "a tick count from 0 to 4294967295");
             if (e.empty()) o.startTick = static_cast<uint32_t>(n);
             return e;
         }},
        {"--screenshot-at", "F,F,...", "save the screen after each frame F as frame-F.bmp",
         screenshotFrameList},
        {"--stats", nullptr, "print where each frame's time went at exit",
         [](Options& o, std::string_view) {
             o.stats = true;
             return std::string();
         }},
        {"--config", "FILE", "read the settings from FILE (default: the XDG config directory)",
         [](Options& o, std::string_view v) {
             o.configFile = v;
             return std::string();
         }},
        {"--record", "FILE", "also write this run's recording to FILE",
         [](Options& o, std::string_view v) {
             o.recordFile = v;
             return std::string();
         }},
        {"--replay", "FILE", "play a recording back (Escape leaves, Space: four times speed)",
         [](Options& o, std::string_view v) {
             o.replayFile = v;
             return std::string();
         }},
        {"--host", "[PORT]",
         "host a network game for one or two guests and up to four spectators (port default "
         "24642)",
         [](Options& o, std::string_view v) {
             o.net = Options::Net::host;
             if (v.empty()) return std::string();
             long long n = 0;
             std::string e = integerOption(v, 0, 65535, n, "a port from 0 (any free one) to 65535");
             if (e.empty()) o.netPort = static_cast<int>(n);
             return e;
         }},
        {"--bind", "ADDR", "host only: listen on this address alone (default: all of them)",
         [](Options& o, std::string_view v) {
             o.bindAddress = v;
             return std::string();
         }},
        {"--join", "HOST[:PORT]", "join the network game hosted at HOST",
         [](Options& o, std::string_view v) {
             o.net = Options::Net::join;
             return hostAndPort(o, v);
         }},
        {"--spectate", "HOST[:PORT]",
         "watch the network game hosted at HOST from this machine, also when it already runs",
         [](Options& o, std::string_view v) {
             o.net = Options::Net::spectate;
             return hostAndPort(o, v);
         }},
        {"--machines", "N",
         "host only: how many machines play (2 or 3; each of the others joins with --join)",
         [](Options& o, std::string_view v) {
             long long n = 0;
             std::string e = integerOption(v, 2, 3, n, "2 or 3");
             if (e.empty()) o.netMachines = static_cast<int>(n);
             return e;
         }},
        {"--net-mode", "MODE",
         "network game: rollback (the default; the other player's input is predicted) or "
         "lockstep (every frame waits for it)",
         [](Options& o, std::string_view v) {
             o.netModeGiven = true;
             if (v == "rollback")
                 o.netMode = Options::NetMode::rollback;
             else if (v == "lockstep")
                 o.netMode = Options::NetMode::lockstep;
             else
                 return std::string("expects rollback or lockstep");
             return std::string();
         }},
        {"--net-delay", "D",
         "network game: this machine's input delay in frames (rollback 0-4, default 1; "
         "lockstep 1-8, default 2)",
         [](Options& o, std::string_view v) {
             long long n = 0;
             std::string e = integerOption(v, 0, 8, n, "a whole number from 0 to 8");
             if (e.empty()) o.netDelay = static_cast<int>(n);
             return e;
         }},
        {"--pace", "PERCENT",
         "headless: run the frames in real time at PERCENT of the game's speed (1-400)",
         [](Options& o, std::string_view v) {
             long long n = 0;
             std::string e = integerOption(v, 1, 400, n, "a whole number from 1 to 400");
             if (e.empty()) o.pacePercent = static_cast<int>(n);
             return e;
         }},
        {"--sync-test", "N",
         "headless: after every frame roll the world back N frames (1-8), play them again "
         "and check it comes out the same",
         [](Options& o, std::string_view v) {
             long long n = 0;
             std::string e = integerOption(v, 1, 8, n, "a whole number from 1 to 8");
             if (e.empty()) o.syncTestFrames = static_cast<int>(n);
             return e;
         }},
        {"--help", nullptr, "show this help", nullptr},
        {"--version", nullptr, "show the version", nullptr},
    };
    return rows;
}

const OptionRow* findOption(std::string_view name) {
    for (const OptionRow& row : optionTable())
        if (name == row.name) return &row;
    return nullptr;
}

ParseResult usageError(const std::string& reason) {
    return {ParseOutcome::usageError,
            "parapet: " + reason + "\nTry 'parapet --help' for the list of options.\n"};
}

}  // namespace

std::string usageText() {
    std::string text =
        "Usage: parapet [OPTION]...\n"
        "Defend the wall against the climbers, one to three players.\n\n";
    for (const OptionRow& row : optionTable()) {
        std::string left = std::string("  ") + row.name;
        if (row.argument != nullptr) left += std::string(" ") + row.argument;
        if (left.size() < 26)
            left.resize(26, ' ');
        else
            left += "  ";
        text += left + row.help + "\n";
    }
    text +=
        "\nExit status: 0 normal end, 1 a data file could not be read, 2 bad usage, a bad input\n"
        "script or recording, a network game that cannot start, or no display, 3 the --trace\n"
        "file or the --stats report could not be written whole, 4 the sync test found a world\n"
        "that plays differently when played again.\n";
    return text;
}

ParseResult parseOptions(int argc, const char* const* argv, Options& options) {
    bool inputGiven = false, joysticksGiven = false, startTickGiven = false;
    int netGiven = 0;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        std::string_view name = argument;
        std::string_view inlineValue;
        bool hasInlineValue = false;
        if (argument.rfind("--", 0) == 0) {
            size_t equals = argument.find('=');
            if (equals != std::string_view::npos) {
                name = argument.substr(0, equals);
                inlineValue = argument.substr(equals + 1);
                hasInlineValue = true;
            }
        }
        const OptionRow* row = findOption(name);
        if (row == nullptr) {
            if (argument.rfind("-", 0) == 0)
                return usageError("unknown option '" + quoteText(name) + "'");
            return usageError("unexpected argument '" + quoteText(argument) + "'");
        }
        if (name == "--help") return {ParseOutcome::exitOk, usageText()};
        if (name == "--version") return {ParseOutcome::exitOk, "parapet " PARAPET_VERSION "\n"};

        std::string_view value;
        bool optionalValue = row->argument != nullptr && row->argument[0] == '[';
        if (optionalValue) {
            // An optional value is the next word unless that is another option.
            if (hasInlineValue)
                value = inlineValue;
            else if (i + 1 < argc && argv[i + 1][0] != '-')
                value = argv[++i];
        } else if (row->argument != nullptr) {
            if (hasInlineValue) {
                value = inlineValue;
            } else {
                if (i + 1 >= argc)
                    return usageError(std::string(row->name) + " needs a value (" + row->argument +
                                      ")");
                value = argv[++i];
            }
            if (value.empty())
                return usageError(std::string(row->name) + " needs a value (" + row->argument +
                                  ")");
        } else if (hasInlineValue) {
            return usageError(std::string(row->name) + " takes no value");
        }
        std::string reason = row->apply(options, value);
        if (!reason.empty()) return usageError(std::string(row->name) + " " + reason);
        inputGiven |= name == "--input";
        joysticksGiven |= name == "--joysticks";
        netGiven += name == "--host" || name == "--join" || name == "--spectate";
        startTickGiven |= name == "--start-tick";
    }
    if (netGiven > 1) return usageError("--host, --join and --spectate go one per machine");
    if (options.netMachines != 2 && options.net != Options::Net::host)
        return usageError("--machines needs --host (the guests learn it from the host)");
    if (options.netMachines == 3 && options.netMode == Options::NetMode::lockstep)
        return usageError("--machines 3 needs rollback (--net-mode lockstep is for two)");
    if (!options.bindAddress.empty() && options.net != Options::Net::host)
        return usageError("--bind needs --host");
    // These drive the deterministic backend only; silently ignoring them in a windowed run
    // would leave someone wondering why their script did nothing.
    if (!options.headless) {
        if (inputGiven) return usageError("--input needs --headless");
        if (joysticksGiven) return usageError("--joysticks needs --headless");
        if (startTickGiven) return usageError("--start-tick needs --headless");
        if (options.syncTestFrames > 0) return usageError("--sync-test needs --headless");
    }
    if (options.netMode == Options::NetMode::rollback && options.netDelay > 4)
        return usageError("--net-delay is 0 to 4 frames with rollback (lockstep: 1 to 8)");
    if (options.netMode == Options::NetMode::lockstep && options.netDelay == 0)
        return usageError("--net-delay is 1 to 8 frames with lockstep (rollback: 0 to 4)");
    if (options.pacePercent > 0 && !options.headless) return usageError("--pace needs --headless");
    if (options.syncTestFrames > 0 && netGiven > 0)
        return usageError("--sync-test cannot be used in a network game");
    // A playback's input and clock come from the recording.
    if (!options.replayFile.empty()) {
        if (inputGiven) return usageError("--input cannot be used with --replay");
        if (joysticksGiven) return usageError("--joysticks cannot be used with --replay");
        if (startTickGiven) return usageError("--start-tick cannot be used with --replay");
        if (!options.recordFile.empty()) return usageError("--record cannot be used with --replay");
    }
    return {};
}
