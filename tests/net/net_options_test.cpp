// The network options: an optional port after --host, HOST[:PORT] after --join.
#include <gtest/gtest.h>

#include <sstream>

#include "shell/options.h"

namespace {

ParseResult parse(const std::string& line, Options& o) {
    std::istringstream in(line);
    std::vector<std::string> words{"parapet"};
    for (std::string w; in >> w;) words.push_back(w);
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    return parseOptions(static_cast<int>(argv.size()), argv.data(), o);
}

}  // namespace

TEST(NetOptions, HostJoinAndDelay) {
    struct Case {
        const char* line;
        Options::Net net;
        int port;
        const char* host;
        int delay;
    };
    const Case cases[] = {
        {"--host", Options::Net::host, -1, "", 2},
        {"--host 5000 --net-delay 8", Options::Net::host, 5000, "", 8},
        {"--host=0", Options::Net::host, 0, "", 2},
        {"--host --windowed", Options::Net::host, -1, "", 2},
        {"--join example.org", Options::Net::join, -1, "example.org", 2},
        {"--join 127.0.0.1:65535 --net-delay 1", Options::Net::join, 65535, "127.0.0.1", 1},
    };
    for (const Case& c : cases) {
        Options o;
        ParseResult r = parse(c.line, o);
        ASSERT_EQ(r.outcome, ParseOutcome::run) << c.line << ": " << r.text;
        EXPECT_EQ(o.net, c.net) << c.line;
        EXPECT_EQ(o.netPort, c.port) << c.line;
        EXPECT_EQ(o.joinHost, c.host) << c.line;
        EXPECT_EQ(o.netDelay, c.delay) << c.line;
    }
    Options o;
    parse("--host --windowed", o);
    EXPECT_FALSE(o.fullscreen) << "an option after --host is not its port";
}

TEST(NetOptions, BadValuesAreUsageErrors) {
    const char* lines[] = {
        "--host 65536", "--host port", "--join", "--join :77", "--join host:0",
        "--join host:http", "--net-delay 0", "--net-delay 9", "--host --join 127.0.0.1",
    };
    for (const char* line : lines) {
        Options o;
        ParseResult r = parse(line, o);
        EXPECT_EQ(r.outcome, ParseOutcome::usageError) << line;
        EXPECT_EQ(r.text.rfind("parapet: ", 0), 0u) << r.text;
    }
}
