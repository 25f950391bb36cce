#include "program/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "base/file_util.h"
#include "base/line_splitter.h"
#include "base/quote_text.h"
#include "input/pad_names.h"
#include "program/ini_line.h"
#include "program/options.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t maxLineLength = 1024;

constexpr int actionCount = keyActionCount;

// What the file binds: the keys of the one keyboard, or each player's controller buttons.
struct BindingKind {
    const char* owner;  // "player" or "controller", numbered after it in sections and messages
    const char* thing;  // "key" or "button"
    int firstAction;    // the first of actionNames it binds
    bool shared;        // one keyboard: a key is taken whoever has it
    int (*defaultCode)(int player, int action);
    // What the game does with `code` that no line of the file can change, or empty.
    std::string (*fixedUse)(int player, int code);
};

int defaultKey(int player, int action) {
    PlayerKeys keys = defaultPlayerKeys(player);
    return *actionKey(keys, action);
}

std::string fixedKey(int /*player*/, int code) {
    if (const char* fixed = fixedKeyUse(code)) return fixed;
    for (int p = 0; p < keyboardPlayers; ++p) {
        PlayerKeys keys = defaultPlayerKeys(p);
        if (keys.up == code) return "player" + std::to_string(p + 1) + " up";
        if (keys.down == code) return "player" + std::to_string(p + 1) + " down";
    }
    return {};
}

int defaultButton(int /*player*/, int action) {
    PadButtons pad;
    return padAction(pad, action - (actionCount - padActionCount));
}

std::string fixedButton(int player, int code) {
    const char* fixed = fixedPadUse(player, code);
    return fixed != nullptr ? fixed : "";
}

constexpr BindingKind keyBindings{"player", "key", 0, true, defaultKey, fixedKey};
constexpr BindingKind padBindings{"controller", "button",      actionCount - padActionCount,
                                  false,        defaultButton, fixedButton};

// A key or button the settings file chose, remembered until every line is read: only then
// can one bound twice be told from two swapped.
struct KeyChoice {
    int player;
    int action;
    int code;
    int line;
    std::string name;
    bool kept = true;
};

struct Reading {
    std::string path;
    Options* options = nullptr;
    KeyCodeLookup lookup = nullptr;
    std::vector<std::pair<int, std::string>> found;  // (line, message)
    int line = 0;
    std::string section;
    bool modeSeen = false;
    bool fullscreen = false;
    bool scaleSeen = false;
    int scale = 0;
    bool netModeSeen = false;
    Options::NetMode netMode = Options::NetMode::rollback;
    int netDelay = -1;
    int netDelayLine = 0;
    std::vector<KeyChoice> keys;
    std::vector<KeyChoice> pads;

    void problem(int at, const std::string& reason) {
        found.emplace_back(at, quotePath(path) + ":" + std::to_string(at) + ": " + reason);
    }
};

// Outside text repeated in a message, quoted and made safe for the terminal.
std::string inQuotes(std::string_view text) { return "'" + quoteText(text) + "'"; }

bool wholeNumber(std::string_view text, int low, int high, int& value) {
    int parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
    if (parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool yesNo(std::string_view text, bool& value) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* yes : {"true", "yes", "on", "1"})
        if (lower == yes) return value = true;
    for (const char* no : {"false", "no", "off", "0"})
        if (lower == no) {
            value = false;
            return true;
        }
    return false;
}

void readPlayerKey(Reading& r, int player, std::string_view name, std::string_view value) {
    std::string section = "[player" + std::to_string(player + 1) + "]";
    int action = 0;
    while (action < actionCount && name != actionNames[action]) ++action;
    if (action == actionCount) {
        r.problem(r.line, "unknown setting " + inQuotes(name) + " in " + section +
                              " (left, right, fire, chainsaw or bomb)");
        return;
    }
    std::string keyName(value);
    int code = keyName.empty() ? 0 : r.lookup(keyName.c_str());
    if (code == 0) {
        r.problem(r.line, "unknown key name " + inQuotes(keyName) +
                              " (SDL's key names, e.g. Space, A, Left Shift)");
        return;
    }
    // A later line for the same action replaces the earlier one.
    for (KeyChoice& k : r.keys)
        if (k.player == player && k.action == action) k.kept = false;
    r.keys.push_back(KeyChoice{player, action, code, r.line, keyName});
}

void readPadButton(Reading& r, int player, std::string_view name, std::string_view value) {
    std::string section = "[controller" + std::to_string(player + 1) + "]";
    int action = padBindings.firstAction;
    while (action < actionCount && name != actionNames[action]) ++action;
    if (action == actionCount) {
        r.problem(r.line, "unknown setting " + inQuotes(name) + " in " + section +
                              " (fire, chainsaw or bomb)");
        return;
    }
    int button = padButtonFromFileName(value);
    if (button < 0) {
        r.problem(r.line,
                  "unknown button name " + inQuotes(value) +
                      " (A, B, X, Y, Back, Left Shoulder, Left Trigger, Button 1 to 32 ...)");
        return;
    }
    for (KeyChoice& k : r.pads)
        if (k.player == player && k.action == action) k.kept = false;
    r.pads.push_back(KeyChoice{player, action, button, r.line, std::string(value)});
}

void readSound(Reading& r, std::string_view name, std::string_view value) {
    Options& o = *r.options;
    if (name == "music" || name == "effects") {
        int percent = 0;
        if (!wholeNumber(value, 0, 100, percent)) {
            r.problem(r.line, std::string(name) + " must be a whole number from 0 to 100, got " +
                                  inQuotes(value));
            return;
        }
        (name == "music" ? o.musicVolume : o.effectsVolume) = percent;
    } else if (name == "enabled") {
        bool on = true;
        if (!yesNo(value, on)) {
            r.problem(r.line, "enabled must be true or false, got " + inQuotes(value));
            return;
        }
        o.soundWanted = on;
    } else {
        r.problem(r.line,
                  "unknown setting " + inQuotes(name) + " in [sound] (music, effects or enabled)");
    }
}

void readWindow(Reading& r, std::string_view name, std::string_view value) {
    if (name == "mode") {
        if (value != "window" && value != "fullscreen") {
            r.problem(r.line, "mode must be window or fullscreen, got " + inQuotes(value));
            return;
        }
        r.modeSeen = true;
        r.fullscreen = value == "fullscreen";
    } else if (name == "scale") {
        if (!wholeNumber(value, 1, 8, r.scale)) {
            r.problem(r.line, "scale must be a whole number from 1 to 8, got " + inQuotes(value));
            return;
        }
        r.scaleSeen = true;
    } else if (name == "scaling") {
        int mode = 0;
        while (mode < 3 && value != fitModeNames[mode]) ++mode;
        if (mode == 3) {
            r.problem(r.line, "scaling must be auto, whole or sharp, got " + inQuotes(value));
            return;
        }
        r.options->fitMode = static_cast<FitMode>(mode);
    } else if (name == "filter") {
        if (value != "none" && value != "scanlines") {
            r.problem(r.line, "filter must be none or scanlines, got " + inQuotes(value));
            return;
        }
        r.options->scanlines = value == "scanlines";
    } else {
        r.problem(r.line, "unknown setting " + inQuotes(name) +
                              " in [window] (mode, scale, scaling or filter)");
    }
}

void readNetwork(Reading& r, std::string_view name, std::string_view value) {
    if (name == "mode") {
        if (value != "rollback" && value != "lockstep") {
            r.problem(r.line, "mode must be rollback or lockstep, got " + inQuotes(value));
            return;
        }
        r.netModeSeen = true;
        r.netMode = value == "rollback" ? Options::NetMode::rollback : Options::NetMode::lockstep;
    } else if (name == "delay") {
        if (!wholeNumber(value, 0, 8, r.netDelay)) {
            r.problem(r.line, "delay must be a whole number of frames from 0 to 8, got " +
                                  inQuotes(value));
            r.netDelay = -1;
            return;
        }
        r.netDelayLine = r.line;
    } else {
        r.problem(r.line, "unknown setting " + inQuotes(name) + " in [network] (mode or delay)");
    }
}

// The network settings the command line left open; a delay the mode cannot have is named on
// its line and the mode's default stays.
void applyNetwork(Reading& r, Options& options) {
    if (r.netModeSeen && !options.netModeGiven) options.netMode = r.netMode;
    if (r.netDelay < 0 || options.netDelay >= 0) return;
    bool rollback = options.netMode == Options::NetMode::rollback;
    if (rollback ? r.netDelay > 4 : r.netDelay < 1) {
        r.problem(r.netDelayLine, std::string("delay is ") +
                                      (rollback ? "0 to 4 frames with rollback"
                                                : "1 to 8 frames with lockstep") +
                                      ", got " + std::to_string(r.netDelay));
        return;
    }
    options.netDelay = r.netDelay;
}

void readExtra(Reading& r, std::string_view name, std::string_view value) {
    for (int i = 0; i < extraCount; ++i) {
        if (name != extraKeys[i]) continue;
        bool on = false;
        if (!yesNo(value, on)) {
            r.problem(r.line, std::string(name) + " must be on or off, got " + inQuotes(value));
            return;
        }
        extraFlag(r.options->extras, i) = on;
        return;
    }
    std::string known;
    for (int i = 0; i < extraCount; ++i) known += std::string(i == 0 ? "" : ", ") + extraKeys[i];
    r.problem(r.line, "unknown setting " + inQuotes(name) + " in [extras] (" + known + ")");
}

void handleSetting(Reading& r, std::string_view name, std::string_view value) {
    const std::string& s = r.section;
    if (s == "player1" || s == "player2")
        readPlayerKey(r, s == "player1" ? 0 : 1, name, value);
    else if (s == "controller1" || s == "controller2")
        readPadButton(r, s == "controller1" ? 0 : 1, name, value);
    else if (s == "sound")
        readSound(r, name, value);
    else if (s == "window")
        readWindow(r, name, value);
    else if (s == "network")
        readNetwork(r, name, value);
    else if (s == "extras")
        readExtra(r, name, value);
    else if (s.empty())
        r.problem(r.line, "setting " + inQuotes(name) + " outside any section");
    else
        r.problem(r.line, "unknown section [" + quoteText(s) +
                              "] ([player1], [player2], [controller1], [controller2], [sound], "
                              "[window], [network] or [extras])");
}

void readLine(Reading& r, std::string_view text, bool cut) {
    ++r.line;
    // An editor's byte order mark is no part of the first line.
    if (r.line == 1 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    IniLine line = readIniLine(text);
    if (cut && line.kind != IniLine::Kind::nothing) {
        r.problem(r.line,
                  "the line is longer than " + std::to_string(maxLineLength) + " characters");
        return;
    }
    switch (line.kind) {
        case IniLine::Kind::nothing:
            break;
        case IniLine::Kind::section:
            r.section = std::string(line.section);
            break;
        case IniLine::Kind::setting:
            handleSetting(r, line.name, line.value);
            break;
        case IniLine::Kind::bad:
            r.problem(r.line, line.reason);
            break;
    }
}

std::string actionText(const BindingKind& kind, int player, int action) {
    return kind.owner + std::to_string(player + 1) + " " + actionNames[action];
}

// The codes the chosen lines give, the rest keeping their defaults.
struct Assignment {
    const BindingKind& kind;
    int codes[keyboardPlayers][actionCount] = {};
    const KeyChoice* byAction[keyboardPlayers][actionCount] = {};

    Assignment(const BindingKind& of, const std::vector<KeyChoice*>& chosen) : kind(of) {
        for (int p = 0; p < keyboardPlayers; ++p)
            for (int a = kind.firstAction; a < actionCount; ++a)
                codes[p][a] = kind.defaultCode(p, a);
        for (const KeyChoice* k : chosen) {
            codes[k->player][k->action] = k->code;
            byAction[k->player][k->action] = k;
        }
    }

    // What else does k's code in this assignment, or empty. `fromLine` is the line that chose
    // that other action, null when nothing the file says can move it (a fixed use or a
    // default).
    std::string otherUse(const KeyChoice& k, const KeyChoice*& fromLine) const {
        fromLine = nullptr;
        if (std::string fixed = kind.fixedUse(k.player, k.code); !fixed.empty()) return fixed;
        std::string byLine;
        for (int p = 0; p < keyboardPlayers; ++p) {
            if (!kind.shared && p != k.player) continue;
            for (int a = kind.firstAction; a < actionCount; ++a) {
                if ((p == k.player && a == k.action) || codes[p][a] != k.code) continue;
                if (byAction[p][a] == nullptr) return actionText(kind, p, a);
                fromLine = byAction[p][a];
                byLine = actionText(kind, p, a);
            }
        }
        return byLine;
    }
};

// Applies the chosen keys (or buttons) so that none does two things. A line whose key
// something the file cannot move already does is refused; of two lines choosing one key, the
// later is. Refusing one line can give an action back its default key and so decide another
// clash, so this runs until nothing changes, and a line refused on the way that fits in the
// end is taken after all. Each refusal names what the key does in the keys the game ends up
// with. Returns what the game ends up with.
Assignment applyBindings(Reading& r, const BindingKind& kind, std::vector<KeyChoice>& choices) {
    std::vector<KeyChoice*> chosen, refused;
    for (KeyChoice& k : choices)
        if (k.kept) chosen.push_back(&k);
    auto move = [](std::vector<KeyChoice*>& from, std::vector<KeyChoice*>& to, KeyChoice* k) {
        from.erase(std::find(from.begin(), from.end(), k));
        to.insert(std::upper_bound(
                      to.begin(), to.end(), k,
                      [](const KeyChoice* a, const KeyChoice* b) { return a->line < b->line; }),
                  k);
    };
    while (true) {
        Assignment now(kind, chosen);
        std::vector<KeyChoice*> certain;
        KeyChoice* later = nullptr;
        for (KeyChoice* k : chosen) {
            const KeyChoice* other = nullptr;
            if (now.otherUse(*k, other).empty()) continue;
            if (other == nullptr)
                certain.push_back(k);
            else if (other->line < k->line && (later == nullptr || k->line > later->line))
                later = k;
        }
        if (certain.empty() && later != nullptr) certain.push_back(later);
        if (certain.empty()) {
            bool taken = false;
            for (KeyChoice* k : refused) {
                std::vector<KeyChoice*> trial = chosen;
                trial.push_back(k);
                const KeyChoice* other = nullptr;
                if (!Assignment(kind, trial).otherUse(*k, other).empty()) continue;
                move(refused, chosen, k);
                taken = true;
                break;
            }
            if (!taken) break;
            continue;
        }
        for (KeyChoice* k : certain) move(chosen, refused, k);
    }
    Assignment final(kind, chosen);
    for (const KeyChoice* k : refused) {
        const KeyChoice* other = nullptr;
        r.problem(k->line, inQuotes(k->name) + " is already " + final.otherUse(*k, other) + "; " +
                               actionText(kind, k->player, k->action) + " keeps its default " +
                               kind.thing);
    }
    return final;
}

void applyKeys(Reading& r) {
    Assignment keys = applyBindings(r, keyBindings, r.keys);
    Assignment pads = applyBindings(r, padBindings, r.pads);
    for (int p = 0; p < keyboardPlayers; ++p) {
        for (int a = 0; a < actionCount; ++a)
            *actionKey(r.options->playerKeys[p], a) = keys.codes[p][a];
        for (int a = 0; a < padActionCount; ++a)
            padAction(r.options->playerPads[p], a) = pads.codes[p][padBindings.firstAction + a];
    }
}

// Reads the file line by line as it comes; what the lines choose is applied at the end,
// when key clashes can be judged.
class SettingsParser {
public:
    SettingsParser(const std::string& path, Options& options, KeyCodeLookup lookup)
        : lines_(maxLineLength,
                 [this](std::string_view line, bool cut) { readLine(reading_, line, cut); }) {
        reading_.path = path;
        reading_.options = &options;
        reading_.lookup = lookup;
    }
    void feed(std::string_view bytes) { lines_.feed(bytes); }
    void finish(std::vector<std::string>& problems) {
        lines_.finish();
        Reading& r = reading_;
        Options& options = *r.options;
        applyKeys(r);
        applyNetwork(r, options);
        // Key clashes are found last but belong to their lines.
        std::stable_sort(r.found.begin(), r.found.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& [line, message] : r.found) problems.push_back(std::move(message));
        if (r.modeSeen && !options.windowModeGiven) options.fullscreen = r.fullscreen;
        if (r.scaleSeen && !options.scaleGiven) options.scale = r.scale;
    }

private:
    Reading reading_;
    LineSplitter lines_;
};

}  // namespace

const char* const actionNames[keyActionCount] = {"left", "right", "fire", "chainsaw", "bomb"};
const char* const fitModeNames[3] = {"auto", "whole", "sharp"};

int* actionKey(PlayerKeys& keys, int action) {
    int* fields[keyActionCount] = {&keys.left, &keys.right, &keys.fire, &keys.chainsaw,
                                   &keys.bomb};
    return fields[action];
}

const char* fixedPadUse(int player, int button) {
    // Buttons the game reads for itself, which no action may take over: Start pauses and
    // opens the options (so a controller alone can always get back to them), the d-pad
    // steers, and player 1's Y saves a screenshot.
    if (button == padButtons::start) return "for pause and options";
    if (button >= padButtons::dpadUp && button <= padButtons::dpadRight) return "for moving";
    if (player == 0 && button == padButtons::y) return "for screenshots";
    return nullptr;
}

const char* fixedKeyUse(int code) {
    // Keys the game reads for itself, which no player action may take over.
    switch (code) {
        case 0x01: return "Escape (ends the level)";
        case 0x0F: return "Tab (options)";
        case 0x19: return "P (pause)";
        case 0xC5: return "Pause (pause)";
        default: return nullptr;
    }
}

std::string defaultSettingsPath() {
    // A relative XDG_CONFIG_HOME is invalid by the XDG base directory rules and is ignored.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/')
        return (fs::path(xdg) / "parapet" / "parapet.ini").string();
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return (fs::path(home) / ".config" / "parapet" / "parapet.ini").string();
    return {};
}

void parseSettings(std::string_view text, const std::string& path, Options& options,
                   KeyCodeLookup lookup, std::vector<std::string>& problems) {
    SettingsParser parser(path, options, lookup);
    parser.feed(text);
    parser.finish(problems);
}

void loadSettings(const std::string& path, Options& options, KeyCodeLookup lookup,
                  std::vector<std::string>& problems) {
    SettingsParser parser(path, options, lookup);
    bool missing = false;
    std::string reason;
    if (!readCappedFile(
            path, maxSettingsBytes,
            [&](std::string_view bytes) {
                parser.feed(bytes);
                return true;
            },
            missing, reason)) {
        if (!missing)
            problems.push_back(quotePath(path) + ": cannot be read (" + reason +
                               "); the defaults are used");
        return;
    }
    parser.finish(problems);
}
