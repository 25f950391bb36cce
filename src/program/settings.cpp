#include "program/settings.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "base/file_util.h"
#include "program/ini_line.h"
#include "base/line_splitter.h"
#include "program/options.h"
#include "base/quote_text.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t maxLineLength = 1024;

constexpr const char* actionNames[] = {"left", "right", "fire", "chainsaw", "bomb"};
constexpr int actionCount = 5;

int* actionKey(PlayerKeys& keys, int action) {
    int* fields[actionCount] = {&keys.left, &keys.right, &keys.fire, &keys.chainsaw, &keys.bomb};
    return fields[action];
}

int actionKey(const PlayerKeys& keys, int action) {
    const int fields[actionCount] = {keys.left, keys.right, keys.fire, keys.chainsaw, keys.bomb};
    return fields[action];
}

// A key the settings file chose, remembered until every line is read: only then can a key
// bound twice be told from two keys swapped.
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
    std::vector<KeyChoice> keys;

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
    } else {
        r.problem(r.line, "unknown setting " + inQuotes(name) + " in [window] (mode or scale)");
    }
}

void handleSetting(Reading& r, std::string_view name, std::string_view value) {
    const std::string& s = r.section;
    if (s == "player1" || s == "player2")
        readPlayerKey(r, s == "player1" ? 0 : 1, name, value);
    else if (s == "sound")
        readSound(r, name, value);
    else if (s == "window")
        readWindow(r, name, value);
    else if (s.empty())
        r.problem(r.line, "setting " + inQuotes(name) + " outside any section");
    else
        r.problem(r.line, "unknown section [" + quoteText(s) +
                              "] ([player1], [player2], [sound] or [window])");
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

// Keys the game reads for itself, which no player action may take over.
struct FixedKey {
    int code;
    const char* what;
};
constexpr FixedKey fixedKeys[] = {
    {0x01, "Escape (ends the level)"}, {0x19, "P (pause)"}, {0xC5, "Pause (pause)"}};

std::string actionText(int player, int action) {
    return "player" + std::to_string(player + 1) + " " + actionNames[action];
}

// The keys the chosen lines give, the rest keeping their defaults.
struct Assignment {
    PlayerKeys keys[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
    const KeyChoice* byAction[keyboardPlayers][actionCount] = {};

    explicit Assignment(const std::vector<KeyChoice*>& chosen) {
        for (const KeyChoice* k : chosen) {
            *actionKey(keys[k->player], k->action) = k->code;
            byAction[k->player][k->action] = k;
        }
    }

    // What else does k's key in this assignment, or empty. `fromLine` is the line that chose
    // that other action, null when nothing the file says can move it (a fixed key, up and
    // down, or a default).
    std::string otherUse(const KeyChoice& k, const KeyChoice*& fromLine) const {
        fromLine = nullptr;
        for (const FixedKey& f : fixedKeys)
            if (f.code == k.code) return f.what;
        for (int p = 0; p < keyboardPlayers; ++p) {
            if (keys[p].up == k.code) return "player" + std::to_string(p + 1) + " up";
            if (keys[p].down == k.code) return "player" + std::to_string(p + 1) + " down";
        }
        std::string byLine;
        for (int p = 0; p < keyboardPlayers; ++p)
            for (int a = 0; a < actionCount; ++a) {
                if ((p == k.player && a == k.action) || actionKey(keys[p], a) != k.code) continue;
                if (byAction[p][a] == nullptr) return actionText(p, a);
                fromLine = byAction[p][a];
                byLine = actionText(p, a);
            }
        return byLine;
    }
};

// Applies the chosen keys so that no key does two things. A line whose key something the file
// cannot move already does is refused; of two lines choosing one key, the later is. Refusing
// one line can give an action back its default key and so decide another clash, so this runs
// until nothing changes, and a line refused on the way that fits in the end is taken after
// all. Each refusal names what the key does in the keys the game ends up with.
void applyKeys(Reading& r) {
    std::vector<KeyChoice*> chosen, refused;
    for (KeyChoice& k : r.keys)
        if (k.kept) chosen.push_back(&k);
    auto move = [](std::vector<KeyChoice*>& from, std::vector<KeyChoice*>& to, KeyChoice* k) {
        from.erase(std::find(from.begin(), from.end(), k));
        to.insert(std::upper_bound(
                      to.begin(), to.end(), k,
                      [](const KeyChoice* a, const KeyChoice* b) { return a->line < b->line; }),
                  k);
    };
    while (true) {
        Assignment now(chosen);
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
                if (!Assignment(trial).otherUse(*k, other).empty()) continue;
                move(refused, chosen, k);
                taken = true;
                break;
            }
            if (!taken) break;
            continue;
        }
        for (KeyChoice* k : certain) move(chosen, refused, k);
    }
    Assignment final(chosen);
    for (int p = 0; p < keyboardPlayers; ++p) r.options->playerKeys[p] = final.keys[p];
    for (const KeyChoice* k : refused) {
        const KeyChoice* other = nullptr;
        r.problem(k->line, inQuotes(k->name) + " is already " + final.otherUse(*k, other) + "; " +
                               actionText(k->player, k->action) + " keeps its default key");
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
