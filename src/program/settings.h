#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "input/default_bindings.h"

struct Options;

// The player's settings file, parapet.ini: keys and controller buttons of players 1 and 2,
// sound volumes, the window. The game never needs it; the command line wins over it.

// DirectInput code of a key as SDL names it ("Space", "Left Shift", "A"), 0 for no such key.
// Only the platform knows the names, so the shell hands the lookup in.
using KeyCodeLookup = int (*)(const char* name);

// A settings file is a few hundred bytes; anything near this is no settings file.
constexpr size_t maxSettingsBytes = 1 << 20;

// $XDG_CONFIG_HOME/parapet/parapet.ini (an absolute XDG_CONFIG_HOME only), else
// ~/.config/parapet/parapet.ini; empty when neither is set.
std::string defaultSettingsPath();

// Reads the file at `path` into `options` where the command line left them alone. Every bad
// line adds one "file:line: reason" to `problems` and keeps the default of its entry. A
// missing file changes nothing and is no problem; one that is no regular file or larger than
// maxSettingsBytes is one problem, and the defaults are used. Never blocks on a pipe.
void loadSettings(const std::string& path, Options& options, KeyCodeLookup lookup,
                  std::vector<std::string>& problems);
// The same for the file's text; `path` only names it in the problems.
void parseSettings(std::string_view text, const std::string& path, Options& options,
                   KeyCodeLookup lookup, std::vector<std::string>& problems);

// The actions a player's keys are set for, by their names in the file ("left", "fire").
constexpr int keyActionCount = 5;
extern const char* const actionNames[keyActionCount];
int* actionKey(PlayerKeys& keys, int action);
// The names of the fit modes in the file, in FitMode's order ("auto", "whole", "sharp").
extern const char* const fitModeNames[3];
// What a key the game reads for itself does ("Tab (options)"), null for any other key: no
// player action may take it.
const char* fixedKeyUse(int code);

// What a controller button the game reads for itself does for `player` ("for pause and
// options"), null for any other: none of that player's actions may take it.
const char* fixedPadUse(int player, int button);

// One setting to write: `name = value` in [section].
struct SettingLine {
    std::string section;
    std::string name;
    std::string value;
};

// Writes the settings into the file, replacing their lines or adding them to their sections
// (made where missing), keeping every other line and comment, through the atomic writer (a
// symbolic link stays a link and its target is written). A file that cannot be read whole
// is left as it is. False with a reason otherwise.
bool saveSettings(const std::string& path, const std::vector<SettingLine>& settings,
                  std::string& error);
// `mode` and `scale` of [window].
bool saveWindowSettings(const std::string& path, bool fullscreen, int scale, std::string& error);
