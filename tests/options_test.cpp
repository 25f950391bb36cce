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

// The network options: an optional port after --host, HOST[:PORT] after --join.
TEST(NetOptions, HostJoinModeAndDelayAndTheirBadValues) {
    struct Case {
        const char* line;
        int port;  // -2: a usage error
        const char* host;
        int delay;
        Options::NetMode mode = Options::NetMode::rollback;
    };
    const Options::NetMode lockstep = Options::NetMode::lockstep;
    const Case cases[] = {
        {"--host --windowed", -1, "", 1},  // the next option is not the port
        {"--host=0 --net-mode lockstep --net-delay 8", 0, "", 8, lockstep},
        {"--join example.org --net-mode=lockstep", -1, "example.org", 2, lockstep},
        {"--join 127.0.0.1:65535 --net-delay 0", 65535, "127.0.0.1", 0},
        {"--host --net-mode rollback --net-delay 4", -1, "", 4},
        {"--host --net-delay 5", -2, "", 0},
        {"--host --net-mode lockstep --net-delay 0", -2, "", 0},
        {"--host --net-mode fast", -2, "", 0},
        {"--host 65536", -2, "", 0},
        {"--join :77", -2, "", 0},
        {"--join host:0", -2, "", 0},
        {"--join host:http", -2, "", 0},
        {"--net-delay 9", -2, "", 0},
        {"--host --join 127.0.0.1", -2, "", 0},
        {"--join 127.0.0.1 --bind 127.0.0.1", -2, "", 0},  // only a host listens
        {"--host --machines 3", -1, "", 1},
        {"--host --machines 4", -2, "", 0},
        {"--join 127.0.0.1 --machines 3", -2, "", 0},  // the guests learn it from the host
        {"--host --machines 3 --net-mode lockstep", -2, "", 0},
        {"--spectate host:0", -2, "", 0},
        {"--host --spectate 127.0.0.1", -2, "", 0},
    };
    for (const Case& c : cases) {
        Options o;
        ParseResult r = parse(c.line, o);
        EXPECT_EQ(r.outcome, c.port == -2 ? ParseOutcome::usageError : ParseOutcome::run) << c.line;
        if (c.port == -2) continue;
        EXPECT_EQ(o.net, *c.host ? Options::Net::join : Options::Net::host) << c.line;
        EXPECT_EQ(o.netPort, c.port) << c.line;
        EXPECT_EQ(o.joinHost, c.host) << c.line;
        EXPECT_EQ(o.effectiveNetDelay(), c.delay) << c.line;
        EXPECT_EQ(o.netMode, c.mode) << c.line;
    }
    Options watching;
    ASSERT_EQ(parse("--spectate example.org:99", watching).outcome, ParseOutcome::run);
    EXPECT_EQ(watching.net, Options::Net::spectate);
    EXPECT_EQ(watching.joinHost, "example.org");
    EXPECT_EQ(watching.netPort, 99);
    Options bound;
    ASSERT_EQ(parse("--host --bind 127.0.0.1", bound).outcome, ParseOutcome::run);
    EXPECT_EQ(bound.bindAddress, "127.0.0.1");
}
