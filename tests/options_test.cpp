#include "shell/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ParseResult parse(std::vector<const char*> args, Options& options) {
    args.insert(args.begin(), "parapet");
    return parseOptions(static_cast<int>(args.size()), args.data(), options);
}

}  // namespace

TEST(Options, DefaultsWithoutArguments) {
    Options o;
    EXPECT_EQ(parse({}, o).outcome, ParseOutcome::run);
    EXPECT_TRUE(o.fullscreen);
    EXPECT_FALSE(o.headless);
    EXPECT_EQ(o.frames, 0);
    EXPECT_EQ(o.joysticks, 0);
    EXPECT_EQ(o.startTick, 0u);
    EXPECT_TRUE(o.screenshotFrames.empty());
}

TEST(Options, EveryOptionIsStored) {
    Options o;
    ParseResult r = parse({"--windowed",
                           "--scale",
                           "3",
                           "--data",
                           "/d",
                           "--save-dir",
                           "/s",
                           "--screenshot-dir",
                           "/shots",
                           "--log",
                           "log.txt",
                           "--headless",
                           "--frames",
                           "120",
                           "--input",
                           "in.txt",
                           "--trace",
                           "t.jsonl",
                           "--joysticks",
                           "3",
                           "--start-tick",
                           "4294967295",
                           "--screenshot-at",
                           "30,5,30,7",
                           "--stats",
                           "--trace-input"},
                          o);
    ASSERT_EQ(r.outcome, ParseOutcome::run) << r.text;
    EXPECT_FALSE(o.fullscreen);
    EXPECT_EQ(o.scale, 3);
    EXPECT_EQ(o.dataDir, "/d");
    EXPECT_EQ(o.saveDir, "/s");
    EXPECT_EQ(o.screenshotDir, "/shots");
    EXPECT_EQ(o.logFile, "log.txt");
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.frames, 120);
    EXPECT_EQ(o.inputFile, "in.txt");
    EXPECT_EQ(o.traceFile, "t.jsonl");
    EXPECT_EQ(o.joysticks, 3);
    EXPECT_EQ(o.startTick, 4294967295u);
    EXPECT_EQ(o.screenshotFrames, (std::vector<int>{5, 7, 30}));
    EXPECT_TRUE(o.stats);
    EXPECT_TRUE(o.traceInput);
}

TEST(Options, ValueAfterEqualsSignAndLastDisplayModeWins) {
    Options o;
    ASSERT_EQ(parse({"--frames=9", "--windowed", "--fullscreen", "--data=/x"}, o).outcome,
              ParseOutcome::run);
    EXPECT_EQ(o.frames, 9);
    EXPECT_TRUE(o.fullscreen);
    EXPECT_EQ(o.dataDir, "/x");
}

TEST(Options, HelpAndVersionEndTheRunSuccessfully) {
    Options o;
    ParseResult help = parse({"--frames", "3", "--help"}, o);
    EXPECT_EQ(help.outcome, ParseOutcome::exitOk);
    // Every option is documented in the help text.
    for (const char* name :
         {"--windowed", "--fullscreen", "--scale", "--data", "--save-dir", "--screenshot-dir",
          "--log", "--headless", "--frames", "--input", "--trace", "--joysticks", "--start-tick",
          "--screenshot-at", "--stats", "--help", "--version"})
        EXPECT_NE(help.text.find(name), std::string::npos) << name;
    ParseResult version = parse({"--version"}, o);
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
