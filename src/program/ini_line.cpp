#include "program/ini_line.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The text up to a note: ';' at the start or after white space ("Keypad ;" has none).
std::string_view beforeNote(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == ';' && (i == 0 || isBlank(text[i - 1]))) return text.substr(0, i);
    return text;
}

}  // namespace

IniLine readIniLine(std::string_view line) {
    IniLine out;
    std::string_view t = trimmed(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') return out;
    if (t.front() == '[') {
        std::string_view inside = beforeNote(t.substr(1));
        size_t close = inside.find(']');
        if (close == std::string_view::npos) {
            out.kind = IniLine::Kind::bad;
            out.reason = "a section name without its closing ']'";
            return out;
        }
        out.kind = IniLine::Kind::section;
        out.section = trimmed(inside.substr(0, close));
        return out;
    }
    std::string_view content = beforeNote(t);
    size_t separator = content.find_first_of("=:");
    if (separator == std::string_view::npos) {
        out.kind = IniLine::Kind::bad;
        out.reason = "not a 'name = value' line";
        return out;
    }
    out.kind = IniLine::Kind::setting;
    out.name = trimmed(content.substr(0, separator));
    out.value = trimmed(content.substr(separator + 1));
    return out;
}
