#pragma once
#include <string>
#include <vector>

struct Options;

// The player's settings file, parapet.ini: keys of players 1 and 2, sound volumes, the
// window. The game never needs it; the command line wins over it.

// DirectInput code of a key as SDL names it ("Space", "Left Shift", "A"), 0 for no such key.
// Only the platform knows the names, so the shell hands the lookup in.
using KeyCodeLookup = int (*)(const char* name);

// $XDG_CONFIG_HOME/parapet/parapet.ini, else ~/.config/parapet/parapet.ini; empty when
// neither variable is set.
std::string defaultSettingsPath();

// Reads the file at `path` into `options` where the command line left them alone. Every bad
// line adds one "file:line: reason" to `problems` and keeps the default of its entry. A
// missing file changes nothing and is no problem.
void loadSettings(const std::string& path, Options& options, KeyCodeLookup lookup,
                  std::vector<std::string>& problems);

// Writes `mode` and `scale` of [window] into the file, keeping every other line and comment,
// crash-safely (a temporary file renamed over the old one). False with a reason otherwise.
bool saveWindowSettings(const std::string& path, bool fullscreen, int scale, std::string& error);
