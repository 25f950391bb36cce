#include "platform/headless/input_script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/test_sheets.h"

namespace {

InputScript parseOk(const std::string& text) {
    InputScript script;
    std::string error;
    EXPECT_TRUE(parseInputScript(text, script, error)) << error;
    return script;
}

// One command as a line of text with the line it came from, to compare whole scripts at a
// glance.
std::string describe(const InputCommand& c) {
    return formatInputCommand(c) + " (line " + std::to_string(c.line) + ")";
}

}  // namespace

TEST(InputScript, EveryCommandInFrameOrderWithTapsReleasedLater) {
    InputScript s = parseOk(
        "# a comment line\n"
        "\n"
        "1 key 57 down\r\n"
        "2 tap SPACE          # released at 4\n"
        "3 tap RETURN 1\n"
        "4 key 157 up\n"
        "4 joy 0 button 31 down\n"
        "5 joy 2 axis x -1024\n"
        "5 joy 1 axis y +1024\n");
    std::vector<std::string> got;
    for (const InputCommand& c : s.commands) got.push_back(describe(c));
    EXPECT_EQ(got, (std::vector<std::string>{
                       "1 key SPACE down (line 3)", "2 key SPACE down (line 4)",
                       "3 key RETURN down (line 5)", "4 key SPACE up (line 4)",
                       "4 key RETURN up (line 5)", "4 key RCONTROL up (line 6)",
                       "4 joy 0 button 31 down (line 7)", "5 joy 2 axis x -1024 (line 8)",
                       "5 joy 1 axis y 1024 (line 9)"}));
}

struct MalformedLine {
    const char* script;
    int line;
    const char* reason;  // a word the reason must contain
};

TEST(InputScript, MalformedLinesAreRejectedWithTheirNumberAndAReason) {
    const MalformedLine table[] = {
        {"key SPACE down\n", 1, "frame number"},
        {"1 key SPACE down\n0 key SPACE up\n", 2, "first frame"},
        {"5 key SPACE down\n4 key SPACE up\n", 2, "never go back"},
        {"1\n", 1, "missing command"},
        {"1 press SPACE\n", 1, "press"},
        {"1 key 256 down\n", 1, "256"},
        {"1 key escape down\n", 1, "escape"},
        {"1 key SPACE pressed\n", 1, "pressed"},
        {"1 key SPACE down now\n", 1, "now"},
        {"1 tap SPACE 0\n", 1, "1 or more"},
        {"1 tap SPACE 2 3\n", 1, "3"},
        {"1 joy 8 button 0 down\n", 1, "0-7"},
        {"1 joy 0 button 32 down\n", 1, "0-31"},
        {"1 joy 0 button 1\n", 1, "down or up"},
        {"1 joy 0 stick x 5\n", 1, "button or axis"},
        {"1 joy 0 axis z 5\n", 1, "x or y"},
        {"1 joy 0 axis x -1025\n", 1, "-1024..1024"},
        {"1 joy 0 axis x 5 6\n", 1, "6"},
        {"# fine\n\n2 key A down\n  # fine\n2 key A sideways\n", 5, "sideways"},
        // Frames and releases an int cannot hold, the default tap length included.
        {"2147483648 key A down\n", 1, "frame number"},
        {"1 key A down\n2147483646 tap SPACE\n", 2, "last possible frame"},
        {"2147483000 tap SPACE 648\n", 1, "last possible frame"},
        {"2147483647 tap SPACE 2147483647\n", 1, "last possible frame"},
    };
    for (const MalformedLine& row : table) {
        InputScript script;
        script.commands.resize(1);  // must be left alone on failure
        std::string error;
        EXPECT_FALSE(parseInputScript(row.script, script, error)) << row.script;
        std::string prefix = "input:" + std::to_string(row.line) + ": ";
        EXPECT_EQ(error.rfind(prefix, 0), 0u) << error;
        EXPECT_NE(error.find(row.reason), std::string::npos) << error;
        EXPECT_EQ(script.commands.size(), 1u);
    }
    // The very last frame is still a frame.
    InputScript last = parseOk("2147483645 tap SPACE\n");
    ASSERT_EQ(last.commands.size(), 2u);
    EXPECT_EQ(last.commands[1].frame, 2147483647);
}

// Only a file of sensible size is a script (what else may stand in its place:
// file_readers_test; a missing one: the frame loop scenario); nothing may exhaust memory.
TEST(InputScript, AHugeFileIsRefusedWithoutReadingIt) {
    std::string huge = makeTempDir("input_script") + "/huge.txt";
    writeText(huge, "#");
    std::filesystem::resize_file(huge, maxInputScriptBytes + 1);  // sparse: no disk used
    InputScript s;
    std::string error;
    EXPECT_FALSE(loadInputScript(huge, s, error));
    EXPECT_NE(error.find(huge + ": it is larger than 64 MiB"), std::string::npos) << error;
}

// A file is parsed as it is read: lines cut between two reads, a comment far longer than a
// command may be and a tap released many reads later all come out as from the whole text.
TEST(InputScript, AFileReadInPiecesGivesWhatItsTextGives) {
    std::string text;
    for (int frame = 1; frame <= 8000; ++frame) {
        text += std::to_string(frame) + (frame % 2 ? " tap SPACE 3\r\n" : " key A down\n");
        if (frame == 4000) text += "# " + std::string(100000, 'x') + "\n";
    }
    text += "8001 tap RETURN 6000";  // the last line without its newline
    std::string path = makeTempDir("input_script_pieces") + "/script.txt";
    std::ofstream(path) << text;
    InputScript loaded;
    std::string error;
    ASSERT_TRUE(loadInputScript(path, loaded, error)) << error;
    InputScript parsed = parseOk(text);
    ASSERT_EQ(loaded.commands.size(), parsed.commands.size());
    for (size_t i = 0; i < parsed.commands.size(); ++i)
        ASSERT_EQ(describe(loaded.commands[i]), describe(parsed.commands[i])) << i;

    std::ofstream(path) << "1 key A down " + std::string(5000, 'x') + "\n";
    EXPECT_FALSE(loadInputScript(path, loaded, error));
    EXPECT_EQ(error, "input:1: the line is longer than 4096 characters");
}
