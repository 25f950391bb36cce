// The network options: an optional port after --host, HOST[:PORT] after --join.
#include <gtest/gtest.h>

#include <sstream>

#include "program/options.h"

namespace {
ParseResult parse(const std::string& line, Options& o) {
    std::istringstream in("parapet " + line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    return parseOptions(static_cast<int>(argv.size()), argv.data(), o);
}
}  // namespace

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
