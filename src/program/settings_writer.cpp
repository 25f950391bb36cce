#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_util.h"
#include "base/atomic_file.h"
#include "program/settings.h"

namespace fs = std::filesystem;

namespace {

std::string trimmedCopy(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The section a header line opens ("window" for "[window]"), or empty for any other line.
std::string sectionOf(const std::string& line) {
    std::string t = trimmedCopy(line);
    if (t.size() < 2 || t[0] != '[') return {};
    size_t close = t.find(']');
    return close == std::string::npos ? std::string() : trimmedCopy(t.substr(1, close - 1));
}

std::string settingOf(const std::string& line) {
    std::string t = trimmedCopy(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') return {};
    size_t equals = t.find_first_of("=:");
    return equals == std::string::npos ? std::string() : trimmedCopy(t.substr(0, equals));
}

// The file's lines with the settings of `section` replaced, or added where missing.
std::vector<std::string> withSection(std::vector<std::string> lines, const std::string& section,
                                     const std::vector<const SettingLine*>& settings) {
    std::vector<bool> written(settings.size(), false);
    bool inSection = false;
    size_t endOfSection = std::string::npos;  // after the section's last setting
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string header = sectionOf(lines[i]);
        if (!header.empty() || trimmedCopy(lines[i]).rfind('[', 0) == 0) {
            inSection = header == section;
            if (inSection) endOfSection = i + 1;
            continue;
        }
        if (!inSection) continue;
        std::string name = settingOf(lines[i]);
        if (!name.empty()) endOfSection = i + 1;
        for (size_t k = 0; k < settings.size(); ++k) {
            if (name != settings[k]->name) continue;
            // The player's own note after the value stays with it.
            size_t note = lines[i].find_first_of(";#", lines[i].find('='));
            bool spaced = note != std::string::npos && note > 0 &&
                          (lines[i][note - 1] == ' ' || lines[i][note - 1] == '\t');
            lines[i] = settings[k]->name + " = " + settings[k]->value +
                       (spaced ? " " + lines[i].substr(note) : std::string());
            written[k] = true;
        }
    }
    if (endOfSection == std::string::npos) {
        if (!lines.empty() && !trimmedCopy(lines.back()).empty()) lines.push_back("");
        lines.push_back("[" + section + "]");
        endOfSection = lines.size();
    }
    for (size_t k = settings.size(); k-- > 0;)
        if (!written[k])
            lines.insert(lines.begin() + static_cast<ptrdiff_t>(endOfSection),
                         settings[k]->name + " = " + settings[k]->value);
    return lines;
}

}  // namespace

bool saveSettings(const std::string& path, const std::vector<SettingLine>& settings,
                  std::string& error) {
    // Read under the same rules as at start-up: a pipe in its place must not hang the game,
    // and a file read only in part must not be written back as if it were whole.
    std::string old;
    bool missing = false;
    if (!readCappedFile(
            path, maxSettingsBytes,
            [&](std::string_view bytes) {
                old.append(bytes);
                return true;
            },
            missing, error) &&
        !missing) {
        error = "it cannot be read (" + error + "), so it is left as it is";
        return false;
    }
    std::vector<std::string> lines;
    {
        std::istringstream in(old);
        std::string line;
        while (std::getline(in, line)) lines.push_back(line);
    }
    // Section by section, in the order they are first named.
    std::vector<std::string> sections;
    for (const SettingLine& s : settings)
        if (std::find(sections.begin(), sections.end(), s.section) == sections.end())
            sections.push_back(s.section);
    for (const std::string& section : sections) {
        std::vector<const SettingLine*> ofSection;
        for (const SettingLine& s : settings)
            if (s.section == section) ofSection.push_back(&s);
        lines = withSection(std::move(lines), section, ofSection);
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\n";

    std::error_code ec;
    fs::path dir = fs::path(path).parent_path();
    if (!dir.empty()) fs::create_directories(dir, ec);
    // A crash leaves the old file or the new one, never a half-written mix of the settings.
    return writeFileAtomically(path, text, error);
}

bool saveWindowSettings(const std::string& path, bool fullscreen, int scale, std::string& error) {
    return saveSettings(path,
                        {{"window", "mode", fullscreen ? "fullscreen" : "window"},
                         {"window", "scale", std::to_string(scale)}},
                        error);
}
