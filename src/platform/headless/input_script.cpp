#include "platform/headless/input_script.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <functional>
#include <limits>
#include <queue>

#include "base/file_util.h"
#include "platform/headless/headless_platform.h"
#include "base/line_splitter.h"
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

// The words of one line without allocating: no command has more than six, so a seventh is
// kept only to be named as unexpected.
struct Words {
    static constexpr size_t capacity = 7;
    std::string_view word[capacity];
    size_t count = 0;

    explicit Words(std::string_view line) {
        size_t i = 0;
        while (i < line.size() && count < capacity) {
            while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
            size_t start = i;
            while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
            if (i > start) word[count++] = line.substr(start, i - start);
        }
    }
    size_t size() const { return count; }
    bool empty() const { return count == 0; }
    std::string_view operator[](size_t i) const { return word[i]; }
};

// Parses one line's words into commands; returns the reason on failure.
class LineParser {
public:
    LineParser(const Words& words, int lineNumber, std::vector<InputCommand>& out)
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

    const Words& words_;
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

namespace {

// Longer lines are no commands; a comment may run on, since only the text before '#' counts.
constexpr size_t maxLineLength = 4096;

// Turns the lines of a script, as they are read, into its commands in the order they apply:
// by frame, and within a frame in the order written. A tap's release waits in a queue until
// the script reaches its frame; it goes before that frame's own lines, which all come after
// the tap's line since frames never go back. So no sort and no copy of the text is needed, and
// memory follows the commands alone.
class ScriptBuilder {
public:
    bool addLine(std::string_view line, bool cut) {
        ++lineNumber_;
        size_t hash = line.find('#');
        if (hash != std::string_view::npos)
            line = line.substr(0, hash);
        else if (cut)
            return fail("the line is longer than " + std::to_string(maxLineLength) + " characters");
        Words words(line);
        if (words.empty()) return true;
        int frame = 0;
        lineCommands_.clear();
        std::string reason = LineParser(words, lineNumber_, lineCommands_).parse(frame);
        if (reason.empty() && frame < lastFrame_)
            reason = "frame " + std::to_string(frame) + " comes after frame " +
                     std::to_string(lastFrame_) + "; frames never go back";
        if (!reason.empty()) return fail(reason);
        lastFrame_ = frame;
        releaseThrough(frame);
        for (const InputCommand& c : lineCommands_) {
            if (c.frame == frame)
                commands_.push_back(c);
            else
                waiting_.push(Waiting{c, order_++});
        }
        return true;
    }

    const std::string& error() const { return error_; }

    void finish(InputScript& script) {
        releaseThrough(std::numeric_limits<int>::max());
        script.commands = std::move(commands_);
    }

private:
    struct Waiting {
        InputCommand command;
        uint64_t order;
        bool operator>(const Waiting& other) const {
            return command.frame != other.command.frame ? command.frame > other.command.frame
                                                        : order > other.order;
        }
    };

    bool fail(const std::string& reason) {
        error_ = "input:" + std::to_string(lineNumber_) + ": " + reason;
        return false;
    }

    void releaseThrough(int frame) {
        while (!waiting_.empty() && waiting_.top().command.frame <= frame) {
            commands_.push_back(waiting_.top().command);
            waiting_.pop();
        }
    }

    std::vector<InputCommand> commands_;
    std::vector<InputCommand> lineCommands_;
    std::priority_queue<Waiting, std::vector<Waiting>, std::greater<Waiting>> waiting_;
    uint64_t order_ = 0;
    int lineNumber_ = 0;
    int lastFrame_ = 0;
    std::string error_;
};

}  // namespace

bool parseInputScript(std::string_view text, InputScript& script, std::string& error) {
    ScriptBuilder builder;
    bool ok = true;
    LineSplitter lines(maxLineLength, [&](std::string_view line, bool cut) {
        if (ok) ok = builder.addLine(line, cut);
    });
    lines.feed(text);
    lines.finish();
    if (!ok) {
        error = builder.error();
        return false;
    }
    builder.finish(script);
    return true;
}

bool loadInputScript(const std::string& path, InputScript& script, std::string& error) {
    // Parsed as it is read: only the commands stay in memory, never the file's text.
    ScriptBuilder builder;
    bool ok = true;
    LineSplitter lines(maxLineLength, [&](std::string_view line, bool cut) {
        if (ok) ok = builder.addLine(line, cut);
    });
    bool missing = false;
    std::string reason;
    if (!readCappedFile(
            path, static_cast<size_t>(maxInputScriptBytes),
            [&](std::string_view bytes) {
                lines.feed(bytes);
                return ok;
            },
            missing, reason)) {
        error = "input: the input script " + quotePath(path) + ": " +
                (missing ? "cannot be read (" + reason + ")" : reason);
        return false;
    }
    if (ok) lines.finish();
    if (!ok) {
        error = builder.error();
        return false;
    }
    builder.finish(script);
    return true;
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
