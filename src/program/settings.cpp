#include "program/settings.h"

#include <ini.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "program/options.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* actionNames[] = {"left", "right", "fire", "chainsaw", "bomb"};
constexpr int actionCount = 5;

int* actionKey(PlayerKeys& keys, int action) {
    int* fields[actionCount] = {&keys.left, &keys.right, &keys.fire, &keys.chainsaw, &keys.bomb};
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
    FILE* file = nullptr;
    int line = 0;             // the line inih is working on
    bool lineHandled = true;  // inih passed that line on (or it needs no handler)
    bool modeSeen = false;
    bool fullscreen = false;
    bool scaleSeen = false;
    int scale = 0;
    std::vector<KeyChoice> keys;

    void problem(int at, const std::string& reason) {
        found.emplace_back(at, path + ":" + std::to_string(at) + ": " + reason);
    }
};

std::string_view trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// inih says nothing to the handler about a line it cannot read, so every line that is not
// blank, a comment or a section header must have reached the handler, or it was malformed.
bool needsHandler(std::string_view text) {
    std::string_view t = trimmed(text);
    if (t.empty() || t[0] == ';' || t[0] == '#') return false;
    return !(t[0] == '[' && t.find(']') != std::string_view::npos);
}

void finishLine(Reading& r) {
    if (!r.lineHandled) r.problem(r.line, "not a 'name = value' line");
    r.lineHandled = true;
}

// inih's line source: counts the lines, so each setting knows where it stands.
char* readLine(char* buffer, int size, void* stream) {
    auto& r = *static_cast<Reading*>(stream);
    finishLine(r);
    if (std::fgets(buffer, size, r.file) == nullptr) return nullptr;
    ++r.line;
    r.lineHandled = !needsHandler(buffer);
    // A line longer than inih's buffer arrives in pieces; the rest is skipped here so the
    // line count stays true, and the cut-off value is reported as it stands.
    size_t length = std::strlen(buffer);
    if (length > 0 && buffer[length - 1] != '\n' && !std::feof(r.file)) {
        int c;
        while ((c = std::fgetc(r.file)) != EOF && c != '\n') {
        }
    }
    return buffer;
}

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
        r.problem(r.line, "unknown setting '" + std::string(name) + "' in " + section +
                              " (left, right, fire, chainsaw or bomb)");
        return;
    }
    std::string keyName(value);
    int code = keyName.empty() ? 0 : r.lookup(keyName.c_str());
    if (code == 0) {
        r.problem(r.line, "unknown key name '" + keyName +
                              "' (SDL's key names, e.g. Space, A, Left Shift)");
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
            r.problem(r.line, std::string(name) + " must be a whole number from 0 to 100, got '" +
                                  std::string(value) + "'");
            return;
        }
        (name == "music" ? o.musicVolume : o.effectsVolume) = percent;
    } else if (name == "enabled") {
        bool on = true;
        if (!yesNo(value, on)) {
            r.problem(r.line, "enabled must be true or false, got '" + std::string(value) + "'");
            return;
        }
        o.soundWanted = on;
    } else {
        r.problem(r.line, "unknown setting '" + std::string(name) +
                              "' in [sound] (music, effects or enabled)");
    }
}

void readWindow(Reading& r, std::string_view name, std::string_view value) {
    if (name == "mode") {
        if (value != "window" && value != "fullscreen") {
            r.problem(r.line,
                      "mode must be window or fullscreen, got '" + std::string(value) + "'");
            return;
        }
        r.modeSeen = true;
        r.fullscreen = value == "fullscreen";
    } else if (name == "scale") {
        if (!wholeNumber(value, 1, 8, r.scale)) {
            r.problem(r.line,
                      "scale must be a whole number from 1 to 8, got '" + std::string(value) + "'");
            return;
        }
        r.scaleSeen = true;
    } else {
        r.problem(r.line,
                  "unknown setting '" + std::string(name) + "' in [window] (mode or scale)");
    }
}

int handleSetting(void* user, const char* section, const char* name, const char* value) {
    auto& r = *static_cast<Reading*>(user);
    r.lineHandled = true;
    std::string_view s = section;
    if (s == "player1" || s == "player2")
        readPlayerKey(r, s == "player1" ? 0 : 1, name, value);
    else if (s == "sound")
        readSound(r, name, value);
    else if (s == "window")
        readWindow(r, name, value);
    else if (s.empty())
        r.problem(r.line, "setting '" + std::string(name) + "' outside any section");
    else
        r.problem(r.line, "unknown section [" + std::string(s) +
                              "] ([player1], [player2], [sound] or [window])");
    return 1;
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

// Applies the chosen keys; a key that ends up doing two things is refused on the later
// line of the two (or on the file's line when the other is a default), until none is left.
void applyKeys(Reading& r) {
    Options& o = *r.options;
    std::vector<KeyChoice*> chosen;
    for (KeyChoice& k : r.keys)
        if (k.kept) chosen.push_back(&k);
    while (true) {
        PlayerKeys keys[keyboardPlayers] = {defaultPlayerKeys(0), defaultPlayerKeys(1)};
        const KeyChoice* byAction[keyboardPlayers][actionCount] = {};
        for (const KeyChoice* k : chosen) {
            *actionKey(keys[k->player], k->action) = k->code;
            byAction[k->player][k->action] = k;
        }
        KeyChoice* refused = nullptr;
        std::string other;
        auto consider = [&](KeyChoice* k, const std::string& clash) {
            if (refused == nullptr || k->line > refused->line) {
                refused = k;
                other = clash;
            }
        };
        for (KeyChoice* k : chosen) {
            for (const FixedKey& f : fixedKeys)
                if (f.code == k->code) consider(k, f.what);
            for (int p = 0; p < keyboardPlayers; ++p) {
                if (keys[p].up == k->code) consider(k, "player" + std::to_string(p + 1) + " up");
                if (keys[p].down == k->code)
                    consider(k, "player" + std::to_string(p + 1) + " down");
                for (int a = 0; a < actionCount; ++a) {
                    if ((p == k->player && a == k->action) || *actionKey(keys[p], a) != k->code)
                        continue;
                    const KeyChoice* holder = byAction[p][a];
                    // Of two file lines, the later one gives way.
                    if (holder == nullptr || holder->line < k->line) consider(k, actionText(p, a));
                }
            }
        }
        if (refused == nullptr) {
            for (int p = 0; p < keyboardPlayers; ++p) o.playerKeys[p] = keys[p];
            break;
        }
        r.problem(refused->line, "'" + refused->name + "' is already " + other + "; " +
                                     actionText(refused->player, refused->action) +
                                     " keeps its default key");
        chosen.erase(std::find(chosen.begin(), chosen.end(), refused));
    }
}

}  // namespace

std::string defaultSettingsPath() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0')
        return (fs::path(xdg) / "parapet" / "parapet.ini").string();
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return (fs::path(home) / ".config" / "parapet" / "parapet.ini").string();
    return {};
}

void loadSettings(const std::string& path, Options& options, KeyCodeLookup lookup,
                  std::vector<std::string>& problems) {
    Reading r;
    r.path = path;
    r.options = &options;
    r.lookup = lookup;
    r.file = std::fopen(path.c_str(), "r");
    if (r.file == nullptr) {
        if (errno != ENOENT)
            problems.push_back(path + ": cannot be read (" + std::strerror(errno) +
                               "); the defaults are used");
        return;
    }
    ini_parse_stream(readLine, &r, handleSetting, &r);
    finishLine(r);
    std::fclose(r.file);

    applyKeys(r);
    // Key clashes are found last but belong to their lines.
    std::stable_sort(r.found.begin(), r.found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [line, message] : r.found) problems.push_back(std::move(message));
    if (r.modeSeen && !options.windowModeGiven) options.fullscreen = r.fullscreen;
    if (r.scaleSeen && !options.scaleGiven) options.scale = r.scale;
}
