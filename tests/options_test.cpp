#include "program/options.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

ParseResult parse(std::vector<const char*> args, Options& options) {
    args.insert(args.begin(), "parapet");
    return parseOptions(static_cast<int>(args.size()), args.data(), options);
}

// A command line written as one string, words split at spaces.
ParseResult parse(const std::string& line, Options& options) {
    std::istringstream in(line);
    std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    std::vector<const char*> args;
    for (const std::string& w : words) args.push_back(w.c_str());
    return parse(args, options);
}

}  // namespace

TEST(Options, EveryOptionStored) {
    Options o;
    ParseResult r = parse(
        "--windowed --scale 3 --data /d --save-dir /s --screenshot-dir /shots --log log.txt "
        "--headless --frames 120 --input in.txt --trace t.jsonl --joysticks 3 "
        "--start-tick 4294967295 --screenshot-at 30,5,30,7 --stats --trace-input",
        o);
    ASSERT_EQ(r.outcome, ParseOutcome::run) << r.text;
    EXPECT_FALSE(o.fullscreen);
    EXPECT_EQ(o.scale, 3);
    using Strings = std::vector<std::string>;
    EXPECT_EQ((Strings{o.dataDir, o.saveDir, o.screenshotDir, o.logFile, o.inputFile, o.traceFile}),
              (Strings{"/d", "/s", "/shots", "log.txt", "in.txt", "t.jsonl"}));
    EXPECT_TRUE(o.headless && o.stats && o.traceInput);
    EXPECT_EQ(o.frames, 120);
    EXPECT_EQ(o.joysticks, 3);
    EXPECT_EQ(o.startTick, 4294967295u);
    EXPECT_EQ(o.screenshotFrames, (std::vector<int>{5, 7, 30})) << "sorted, once each";

    Options e;
    ASSERT_EQ(parse("--frames=9 --windowed --fullscreen --data=/x", e).outcome, ParseOutcome::run);
    EXPECT_EQ(e.frames, 9);
    EXPECT_TRUE(e.fullscreen) << "the last display mode wins";
    EXPECT_EQ(e.dataDir, "/x");
}

// Help ends the run successfully, whatever else the line holds (the frame-loop runs check
// --version); anything else wrong is one usage error that names the word at fault and points
// at --help.
TEST(Options, HelpAndUsageErrors) {
    Options o;
    ParseResult help = parse("--frames 3 --help", o);
    EXPECT_EQ(help.outcome, ParseOutcome::exitOk);
    // Every exit status the program uses, the lost trace or report too.
    for (const char* status : {" 0 normal", " 1 a data file", " 2 bad usage", " 3 the --trace"})
        EXPECT_NE(help.text.find(status), std::string::npos) << status;

    const std::pair<std::string, const char*> bad[] = {
        {"--bogus", "--bogus"},
        {"stray", "stray"},
        {"--frames", "--frames"},
        {"--frames 0", "--frames"},
        {"--frames 12x", "12x"},
        {"--frames 2147483648", "--frames"},
        {"--scale 9", "--scale"},
        {"--headless --joysticks 9", "--joysticks"},
        {"--headless --start-tick 4294967296", "--start-tick"},
        {"--screenshot-at 3,,4", "--screenshot-at"},
        {"--screenshot-at 0", "--screenshot-at"},
        {"--stats=yes", "--stats"},
        {"--input script.txt", "--headless"},
        {"--joysticks 2", "--headless"},
        {"--start-tick 5", "--headless"},
    };
    for (const auto& [line, mentions] : bad) {
        Options fresh;
        ParseResult r = parse(line, fresh);
        EXPECT_EQ(r.outcome, ParseOutcome::usageError) << line;
        EXPECT_NE(r.text.find(mentions), std::string::npos) << r.text;
        EXPECT_NE(r.text.find("--help"), std::string::npos) << "points at the help: " << line;
    }
    std::vector<const char*> empty{"--frames", ""};
    EXPECT_EQ(parse(empty, o).outcome, ParseOutcome::usageError) << "an empty frame count";
}
