#include "input/frame_input_source.h"

void ScriptInputSource::commandsFor(int frame, std::vector<InputCommand>& out) {
    // Everything up to this frame, so a source first asked late still catches up.
    const std::vector<InputCommand>& commands = script_.commands;
    while (next_ < commands.size() && commands[next_].frame <= frame)
        out.push_back(commands[next_++]);
}
