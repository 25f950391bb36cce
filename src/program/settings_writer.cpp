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

// The file's lines with mode and scale of [window] replaced, or added where missing.
std::vector<std::string> withWindow(std::vector<std::string> lines, bool fullscreen, int scale) {
    std::string wanted[2] = {"mode", "scale"};
    std::string values[2] = {std::string("mode = ") + (fullscreen ? "fullscreen" : "window"),
                             "scale = " + std::to_string(scale)};
    bool written[2] = {false, false};
    bool inWindow = false;
    size_t endOfWindow = std::string::npos;  // after the section's last setting
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string section = sectionOf(lines[i]);
        if (!section.empty() || trimmedCopy(lines[i]).rfind('[', 0) == 0) {
            inWindow = section == "window";
            if (inWindow) endOfWindow = i + 1;
            continue;
        }
        if (!inWindow) continue;
        std::string name = settingOf(lines[i]);
        if (!name.empty()) endOfWindow = i + 1;
        for (int k = 0; k < 2; ++k) {
            if (name == wanted[k]) {
                // The player's own note after the value stays with it.
                size_t note = lines[i].find_first_of(";#", lines[i].find('='));
                bool spaced = note != std::string::npos && note > 0 &&
                              (lines[i][note - 1] == ' ' || lines[i][note - 1] == '\t');
                lines[i] = values[k] + (spaced ? " " + lines[i].substr(note) : std::string());
                written[k] = true;
            }
        }
    }
    if (endOfWindow == std::string::npos) {
        if (!lines.empty() && !trimmedCopy(lines.back()).empty()) lines.push_back("");
        lines.push_back("[window]");
        endOfWindow = lines.size();
    }
    for (int k = 1; k >= 0; --k)
        if (!written[k])
            lines.insert(lines.begin() + static_cast<ptrdiff_t>(endOfWindow), values[k]);
    return lines;
}

}  // namespace

bool saveWindowSettings(const std::string& path, bool fullscreen, int scale, std::string& error) {
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
    std::string text;
    for (const std::string& line : withWindow(std::move(lines), fullscreen, scale))
        text += line + "\n";

    std::error_code ec;
    fs::path dir = fs::path(path).parent_path();
    if (!dir.empty()) fs::create_directories(dir, ec);
    // A crash leaves the old file or the new one, never a half-written mix of the settings.
    return writeFileAtomically(path, text, error);
}
