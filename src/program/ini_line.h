#pragma once
#include <string_view>

// One line of the settings file, taken apart the way INI files are read: blank lines and
// those starting with ';' or '#' say nothing; "[name]" opens a section; "name = value" (or
// "name: value") sets something, a ';' after white space starting a note. White space around
// every part is dropped, also in front of a line: an indented line means what it says and
// never continues the line before it.
struct IniLine {
    enum class Kind { nothing, section, setting, bad };
    Kind kind = Kind::nothing;
    std::string_view section;  // Kind::section
    std::string_view name;     // Kind::setting
    std::string_view value;
    const char* reason = nullptr;  // Kind::bad
};

IniLine readIniLine(std::string_view line);
