#include "shell/options.h"

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

TEST(Options, DefaultsAndEveryOptionStored) {
    Options d;
    EXPECT_EQ(parse("", d).outcome, ParseOutcome::run);
    EXPECT_TRUE(d.fullscreen);
    EXPECT_FALSE(d.headless);
    EXPECT_EQ(d.frames, 0);
    EXPECT_EQ(d.startTick, 0u);

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

TEST(Options, HelpAndVersionEndTheRunSuccessfully) {
    Options o;
    ParseResult help = parse("--frames 3 --help", o);
    EXPECT_EQ(help.outcome, ParseOutcome::exitOk);
    for (const char* name :
         {"--windowed", "--fullscreen", "--scale", "--data", "--save-dir", "--screenshot-dir",
          "--log", "--headless", "--frames", "--input", "--trace", "--joysticks", "--start-tick",
          "--screenshot-at", "--stats", "--help", "--version"})
        EXPECT_NE(help.text.find(name), std::string::npos) << name;
    ParseResult version = parse("--version", o);
    EXPECT_EQ(version.outcome, ParseOutcome::exitOk);
    EXPECT_EQ(version.text.rfind("parapet ", 0), 0u);
}

struct BadCommandLine {
    std::vector<const char*> args;
    const char* mentions;
};

// Names each case after its command line in test listings.
void PrintTo(const BadCommandLine& bad, std::ostream* os) {
    for (const char* arg : bad.args) *os << '[' << arg << ']';
}

class OptionsRejects : public testing::TestWithParam<BadCommandLine> {};

TEST_P(OptionsRejects, WithAUsageErrorNamingTheProblem) {
    Options o;
    ParseResult r = parse(GetParam().args, o);
    EXPECT_EQ(r.outcome, ParseOutcome::usageError);
    EXPECT_NE(r.text.find(GetParam().mentions), std::string::npos) << r.text;
    EXPECT_NE(r.text.find("--help"), std::string::npos) << "points at the help";
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionsRejects,
    testing::Values(BadCommandLine{{"--bogus"}, "--bogus"}, BadCommandLine{{"-x"}, "-x"},
                    BadCommandLine{{"stray"}, "stray"}, BadCommandLine{{"--frames"}, "--frames"},
                    BadCommandLine{{"--frames", "0"}, "--frames"},
                    BadCommandLine{{"--frames", "-3"}, "--frames"},
                    BadCommandLine{{"--frames", "12x"}, "12x"},
                    BadCommandLine{{"--frames", ""}, "--frames"},
                    BadCommandLine{{"--scale", "9"}, "--scale"},
                    BadCommandLine{{"--headless", "--joysticks", "9"}, "--joysticks"},
                    BadCommandLine{{"--headless", "--start-tick", "4294967296"}, "--start-tick"},
                    BadCommandLine{{"--screenshot-at", "3,,4"}, "--screenshot-at"},
                    BadCommandLine{{"--screenshot-at", "0"}, "--screenshot-at"},
                    BadCommandLine{{"--screenshot-at", "5,"}, "--screenshot-at"},
                    BadCommandLine{{"--stats=yes"}, "--stats"},
                    BadCommandLine{{"--input", "script.txt"}, "--headless"},
                    BadCommandLine{{"--joysticks", "2"}, "--headless"},
                    BadCommandLine{{"--start-tick", "5"}, "--headless"}));
