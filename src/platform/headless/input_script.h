#pragma once
#include <string>
#include <string_view>
#include <vector>

class ScriptedKeyboard;
class SimulatedJoysticks;

// One change of the simulated input, applied at the start of engine frame step `frame`.
struct InputCommand {
    enum class Kind { key, joyButton, joyAxis };
    int frame = 0;
    int line = 0;  // where it came from, for error messages
    Kind kind = Kind::key;
    int code = 0;  // key code, or button number
    bool down = false;
    int joystick = 0;
    char axis = 'x';
    int value = 0;
};

// The commands of a script in the order they are applied: by frame, and within a frame in
// the order the script gives them (a tap's release counts from the tap's own line).
struct InputScript {
    std::vector<InputCommand> commands;
};

// DirectInput code of a key name (ESCAPE, SPACE, A-Z, ...), or -1.
int keyCodeByName(std::string_view name);

// The words of one line, split on white space (a recording's header reads lines the same way).
std::vector<std::string_view> splitWords(std::string_view line);

// Parses a whole script. On a malformed line returns false with "input:<line>: <reason>".
bool parseInputScript(std::string_view text, InputScript& script, std::string& error);
// Far more than any recorded game needs; guards against reading a device or a huge file whole.
constexpr long maxInputScriptBytes = 64L << 20;
// Reads and parses a file; an unreadable file, a directory, a device or FIFO, or a file over
// maxInputScriptBytes is an error too.
bool loadInputScript(const std::string& path, InputScript& script, std::string& error);
// Rejects commands for joysticks the run does not have.
bool checkScriptJoysticks(const InputScript& script, int joystickCount, std::string& error);

// The command as one script line (without a newline), keys by name where they have one, so
// a list of commands written this way parses back to the same commands.
std::string formatInputCommand(const InputCommand& command);
// A key going down or up at the start of frame step `frame`.
InputCommand keyCommand(int frame, int code, bool down);
// Sets the key, button or stick the command names; a null device takes nothing.
void applyInputCommand(const InputCommand& command, ScriptedKeyboard* keyboard,
                       SimulatedJoysticks* joysticks);

// Feeds a script into the headless keyboard and joysticks, one frame at a time.
class InputScriptPlayer {
public:
    InputScriptPlayer(const InputScript& script, ScriptedKeyboard& keyboard,
                      SimulatedJoysticks& joysticks)
        : script_(script), keyboard_(keyboard), joysticks_(joysticks) {}
    // Applies every command of frames up to and including `frame` not applied yet.
    void applyThrough(int frame);

private:
    const InputScript& script_;
    ScriptedKeyboard& keyboard_;
    SimulatedJoysticks& joysticks_;
    size_t next_ = 0;
};
