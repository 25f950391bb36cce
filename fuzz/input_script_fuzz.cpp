// The input script: any text is either refused with a line number or gives commands in
// frame order that the headless devices can apply.
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputScript script;
    std::string error;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!parseInputScript(text, script, error)) {
        if (error.rfind("input:", 0) != 0) std::abort();
        return 0;
    }
    int last = 1;
    for (const InputCommand& c : script.commands) {
        if (c.frame < last) std::abort();
        last = c.frame;
    }
    ScriptedKeyboard keyboard;
    SimulatedJoysticks joysticks(SimulatedJoysticks::maxControllers);
    for (int slot = 0; slot < SimulatedJoysticks::maxControllers; ++slot)
        joysticks.setUp(slot, slot);
    checkScriptJoysticks(script, 2, error);
    InputScriptPlayer player(script, keyboard, joysticks);
    player.applyThrough(std::numeric_limits<int>::max());
    return 0;
}
