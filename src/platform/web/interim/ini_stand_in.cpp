#include <cctype>
#include <cstring>

#include "ini.h"

namespace {

constexpr int maxLine = 200;
constexpr size_t maxSection = 50;
constexpr size_t maxName = 50;

char* rstrip(char* s) {
    char* p = s + std::strlen(s);
    while (p > s && std::isspace(static_cast<unsigned char>(*--p))) *p = '\0';
    return s;
}

char* lskip(char* s) {
    while (*s != '\0' && std::isspace(static_cast<unsigned char>(*s))) ++s;
    return s;
}

// The first of `chars` (any when null) or of an inline comment after whitespace, else the end.
char* findCharsOrComment(char* s, const char* chars) {
    bool wasSpace = false;
    while (*s != '\0' && (chars == nullptr || std::strchr(chars, *s) == nullptr) &&
           !(wasSpace && *s == ';')) {
        wasSpace = std::isspace(static_cast<unsigned char>(*s)) != 0;
        ++s;
    }
    return s;
}

void copyCut(char* to, const char* from, size_t size) {
    std::strncpy(to, from, size - 1);
    to[size - 1] = '\0';
}

}  // namespace

int ini_parse_stream(ini_reader reader, void* stream, ini_handler handler, void* user) {
    char line[maxLine];
    char section[maxSection] = "";
    char previousName[maxName] = "";
    int lineNumber = 0;
    int error = 0;
    auto fail = [&] {
        if (error == 0) error = lineNumber;
    };
    while (reader(line, maxLine, stream) != nullptr) {
        ++lineNumber;
        char* start = line;
        if (lineNumber == 1 && std::strncmp(start, "\xEF\xBB\xBF", 3) == 0) start += 3;
        start = lskip(rstrip(start));
        if (*start == ';' || *start == '#') continue;
        if (*previousName != '\0' && *start != '\0' && start > line) {
            // An indented line goes on with the value of the name before it.
            char* end = findCharsOrComment(start, nullptr);
            *end = '\0';
            rstrip(start);
            if (handler(user, section, previousName, start) == 0) fail();
        } else if (*start == '[') {
            char* end = findCharsOrComment(start + 1, "]");
            if (*end != ']') {
                fail();
                continue;
            }
            *end = '\0';
            copyCut(section, start + 1, sizeof section);
            *previousName = '\0';
        } else if (*start != '\0') {
            char* end = findCharsOrComment(start, "=:");
            if (*end != '=' && *end != ':') {
                fail();
                continue;
            }
            *end = '\0';
            char* name = rstrip(start);
            char* value = end + 1;
            end = findCharsOrComment(value, nullptr);
            *end = '\0';
            value = lskip(value);
            rstrip(value);
            copyCut(previousName, name, sizeof previousName);
            if (handler(user, section, name, value) == 0) fail();
        }
    }
    return error;
}
