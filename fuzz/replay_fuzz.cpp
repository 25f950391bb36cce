// Feeds arbitrary bytes to the recording reader: whatever a replay file holds, reading it
// must end in a recording or a reason, never a crash, a hang or unbounded memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "recording/recording.h"
#include "recording/recording_seal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // As they are, and sealed: most changed bytes stop at the checksum, a sealed text reaches
    // the header and the events behind it.
    for (const std::string& text : {bytes, sealRecording(bytes)}) {
        Recording recording;
        std::string error;
        if (!parseRecording(text, recording, error)) continue;
        // What was read must write back to a file that reads the same.
        Recording again;
        std::string text2 = formatRecording(recording);
        if (!parseRecording(text2, again, error) || formatRecording(again) != text2)
            __builtin_trap();
    }
    return 0;
}
