#include "platform/headless/input_script.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>

#include "platform/headless/headless_platform.h"
#include "base/quote_text.h"

namespace {

struct KeyName {
    const char* name;
    int code;
};

// DirectInput codes; digits are reached by their numeric codes (2-11), since a bare number
// in a script is always a code.
constexpr KeyName keyNames[] = {
    {"ESCAPE", 1},    {"SPACE", 57},     {"RETURN", 28}, {"BACK", 14},   {"UP", 200},
    {"DOWN", 208},    {"LEFT", 203},     {"RIGHT", 205}, {"LSHIFT", 42}, {"RSHIFT", 54},
    {"LCONTROL", 29}, {"RCONTROL", 157}, {"LMENU", 56},  {"A", 30},      {"B", 48},
    {"C", 46},        {"D", 32},         {"E", 18},      {"F", 33},      {"G", 34},
    {"H", 35},        {"I", 23},         {"J", 36},      {"K", 37},      {"L", 38},
    {"M", 50},        {"N", 49},         {"O", 24},      {"P", 25},      {"Q", 16},
    {"R", 19},        {"S", 31},         {"T", 20},      {"U", 22},      {"V", 47},
    {"W", 17},        {"X", 45},         {"Y", 21},      {"Z", 44},
};

bool parseInt(std::string_view text, int& value) {
    if (text.empty()) return false;
    const char* begin = text.data();
    if (*begin == '+') ++begin;  // from_chars refuses a plus sign; "+512" reads naturally
    auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::string quoted(std::string_view word) { return "'" + quoteText(word) + "'"; }

// Parses one line's words into commands; returns the reason on failure.
class LineParser {
public:
    LineParser(const std::vector<std::string_view>& words, int lineNumber,
               std::vector<InputCommand>& out)
        : words_(words), line_(lineNumber), out_(out) {}

    std::string parse(int& frame) {
        if (!parseInt(words_[0], frame)) return "expected a frame number, got " + quoted(words_[0]);
        if (frame < 1) return "frame " + std::string(words_[0]) + " is before the first frame (1)";
        if (words_.size() < 2) return "missing command after the frame number";
        std::string_view command = words_[1];
        std::string reason;
        if (command == "key")
            reason = parseKey(frame);
        else if (command == "tap")
            reason = parseTap(frame);
        else if (command == "joy")
            reason = parseJoy(frame);
        else
            return "unknown command " + quoted(command) + " (expected key, tap or joy)";
        return reason;
    }

private:
    std::string word(size_t i, const char* what, std::string_view& out) {
        if (i >= words_.size()) return std::string("missing ") + what;
        out = words_[i];
        return {};
    }

    std::string noMoreAfter(size_t i) {
        if (i < words_.size()) return "unexpected " + quoted(words_[i]) + " at the end of the line";
        return {};
    }

    std::string keyCode(size_t i, int& code) {
        std::string_view text;
        if (auto e = word(i, "key code or name", text); !e.empty()) return e;
        if (std::isdigit(static_cast<unsigned char>(text[0]))) {
            if (!parseInt(text, code)) return "bad key code " + quoted(text);
            if (code > 255) return "key code " + std::string(text) + " is not in 0-255";
            return {};
        }
        code = keyCodeByName(text);
        if (code < 0) return "unknown key " + quoted(text);
        return {};
    }

    std::string downOrUp(size_t i, bool& down) {
        std::string_view text;
        if (auto e = word(i, "down or up", text); !e.empty()) return e;
        if (text == "down")
            down = true;
        else if (text == "up")
            down = false;
        else
            return "expected down or up, got " + quoted(text);
        return {};
    }

    InputCommand command(int frame, InputCommand::Kind kind) {
        InputCommand c;
        c.frame = frame;
        c.line = line_;
        c.kind = kind;
        return c;
    }

    std::string parseKey(int frame) {
        InputCommand c = command(frame, InputCommand::Kind::key);
        if (auto e = keyCode(2, c.code); !e.empty()) return e;
        if (auto e = downOrUp(3, c.down); !e.empty()) return e;
        if (auto e = noMoreAfter(4); !e.empty()) return e;
        out_.push_back(c);
        return {};
    }

    std::string parseTap(int frame) {
        InputCommand press = command(frame, InputCommand::Kind::key);
        if (auto e = keyCode(2, press.code); !e.empty()) return e;
        int length = 2;
        if (words_.size() > 3) {
            if (!parseInt(words_[3], length)) return "bad tap length " + quoted(words_[3]);
            // A tap of 0 frames would press and release before anyone could see the key.
            if (length < 1) return "tap length must be 1 or more, got " + std::string(words_[3]);
        }
        // The default length counts too: a tap near the last frame an int can hold would
        // release at a frame that does not exist.
        if (length > std::numeric_limits<int>::max() - frame)
            return "tap at frame " + std::to_string(frame) + " of " + std::to_string(length) +
                   " frames would release after the last possible frame";
        if (auto e = noMoreAfter(4); !e.empty()) return e;
        press.down = true;
        InputCommand release = press;
        release.down = false;
        release.frame = frame + length;
        out_.push_back(press);
        out_.push_back(release);
        return {};
    }

    std::string parseJoy(int frame) {
        InputCommand c = command(frame, InputCommand::Kind::joyButton);
        std::string_view text;
        if (auto e = word(2, "joystick number", text); !e.empty()) return e;
        if (!parseInt(text, c.joystick) || c.joystick < 0 ||
            c.joystick >= SimulatedJoysticks::maxControllers)
            return "joystick must be 0-7, got " + quoted(text);
        std::string_view part;
        if (auto e = word(3, "button or axis", part); !e.empty()) return e;
        if (part == "button") {
            if (auto e = word(4, "button number", text); !e.empty()) return e;
            if (!parseInt(text, c.code) || c.code < 0 || c.code > 31)
                return "button must be 0-31, got " + quoted(text);
            if (auto e = downOrUp(5, c.down); !e.empty()) return e;
            if (auto e = noMoreAfter(6); !e.empty()) return e;
        } else if (part == "axis") {
            c.kind = InputCommand::Kind::joyAxis;
            if (auto e = word(4, "axis name x or y", text); !e.empty()) return e;
            if (text != "x" && text != "y") return "axis must be x or y, got " + quoted(text);
            c.axis = text[0];
            if (auto e = word(5, "axis value", text); !e.empty()) return e;
            if (!parseInt(text, c.value) || c.value < -1024 || c.value > 1024)
                return "axis value must be -1024..1024, got " + quoted(text);
            if (auto e = noMoreAfter(6); !e.empty()) return e;
        } else {
            return "expected button or axis, got " + quoted(part);
        }
        out_.push_back(c);
        return {};
    }

    const std::vector<std::string_view>& words_;
    int line_;
    std::vector<InputCommand>& out_;
};

}  // namespace

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

int keyCodeByName(std::string_view name) {
    for (const KeyName& key : keyNames)
        if (name == key.name) return key.code;
    return -1;
}

bool parseInputScript(std::string_view text, InputScript& script, std::string& error) {
    std::vector<InputCommand> commands;
    int lineNumber = 0;
    int lastFrame = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        std::vector<std::string_view> words = splitWords(line);
        if (words.empty()) {
            if (end == text.size()) break;
            continue;
        }
        int frame = 0;
        std::string reason = LineParser(words, lineNumber, commands).parse(frame);
        if (reason.empty() && frame < lastFrame)
            reason = "frame " + std::to_string(frame) + " comes after frame " +
                     std::to_string(lastFrame) + "; frames never go back";
        if (!reason.empty()) {
            error = "input:" + std::to_string(lineNumber) + ": " + reason;
            return false;
        }
        lastFrame = frame;
        if (end == text.size()) break;
    }
    // Releases of taps land among later lines; a stable sort keeps everything else in the
    // order written.
    std::stable_sort(
        commands.begin(), commands.end(),
        [](const InputCommand& a, const InputCommand& b) { return a.frame < b.frame; });
    script.commands = std::move(commands);
    return true;
}

bool loadInputScript(const std::string& path, InputScript& script, std::string& error) {
    auto fail = [&](const std::string& why) {
        error = "input: the input script " + path + " " + why;
        return false;
    };
    // Non-blocking, so a FIFO with no writer cannot hang the start-up before we see what
    // it is; only a regular file of sensible size is read, never /dev/zero or a directory.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail("cannot be read (" + std::string(std::strerror(errno)) + ")");
    struct stat info {};
    std::string why;
    if (::fstat(fd, &info) != 0)
        why = "cannot be read (" + std::string(std::strerror(errno)) + ")";
    else if (S_ISDIR(info.st_mode))
        why = "is a directory";
    else if (!S_ISREG(info.st_mode))
        why = "is not a regular file";
    else if (info.st_size > maxInputScriptBytes)
        why = "is larger than " + std::to_string(maxInputScriptBytes >> 20) + " MiB";
    std::string text;
    // The file may grow while we read; the cap holds whatever it does.
    char chunk[65536];
    while (why.empty()) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) why = "cannot be read (" + std::string(std::strerror(errno)) + ")";
        if (n <= 0) break;
        if (text.size() + static_cast<size_t>(n) > static_cast<size_t>(maxInputScriptBytes))
            why = "is larger than " + std::to_string(maxInputScriptBytes >> 20) + " MiB";
        else
            text.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    if (!why.empty()) return fail(why);
    return parseInputScript(text, script, error);
}

bool checkScriptJoysticks(const InputScript& script, int joystickCount, std::string& error) {
    for (const InputCommand& c : script.commands) {
        if (c.kind == InputCommand::Kind::key || c.joystick < joystickCount) continue;
        error = "input:" + std::to_string(c.line) + ": joystick " + std::to_string(c.joystick) +
                " does not exist; the run has " + std::to_string(joystickCount) +
                " (see --joysticks)";
        return false;
    }
    return true;
}

void applyInputCommand(const InputCommand& c, ScriptedKeyboard* keyboard,
                       SimulatedJoysticks* joysticks) {
    switch (c.kind) {
        case InputCommand::Kind::key:
            if (keyboard != nullptr) keyboard->setKey(c.code, c.down);
            break;
        case InputCommand::Kind::joyButton:
            if (joysticks != nullptr) joysticks->setButton(c.joystick, c.code, c.down);
            break;
        case InputCommand::Kind::joyAxis:
            if (joysticks != nullptr) joysticks->setAxis(c.joystick, c.axis, c.value);
            break;
    }
}

InputCommand keyCommand(int frame, int code, bool down) {
    InputCommand c;
    c.frame = frame;
    c.kind = InputCommand::Kind::key;
    c.code = code;
    c.down = down;
    return c;
}

std::string formatInputCommand(const InputCommand& c) {
    std::string line = std::to_string(c.frame);
    const char* upDown = c.down ? " down" : " up";
    switch (c.kind) {
        case InputCommand::Kind::key: {
            std::string name = std::to_string(c.code & 0xFF);
            for (const KeyName& key : keyNames)
                if (key.code == (c.code & 0xFF)) name = key.name;
            return line + " key " + name + upDown;
        }
        case InputCommand::Kind::joyButton:
            return line + " joy " + std::to_string(c.joystick) + " button " +
                   std::to_string(c.code) + upDown;
        case InputCommand::Kind::joyAxis:
            return line + " joy " + std::to_string(c.joystick) + " axis " + c.axis + " " +
                   std::to_string(c.value);
    }
    return line;
}

void InputScriptPlayer::applyThrough(int frame) {
    const std::vector<InputCommand>& commands = script_.commands;
    while (next_ < commands.size() && commands[next_].frame <= frame)
        applyInputCommand(commands[next_++], &keyboard_, &joysticks_);
}
