#include "base/quote_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/input_script.h"
#include "program/options.h"

TEST(QuoteText, ControlBytesAndBrokenUtf8AreEscapedAndLongTextIsCut) {
    const struct {
        std::string text, quoted;
    } cases[] = {
        {"s\\splat3.raw", "s\\splat3.raw"},
        {"a\x1b[2Jb\x7f", "a\\x1B[2Jb\\x7F"},
        {std::string("nul\0", 4), "nul\\x00"},
        {"K\xc3\xa4se \xe2\x82\xac", "K\xc3\xa4se \xe2\x82\xac"},  // whole UTF-8 characters print
        {"\xc2\x9b"
         "31m",
         "\\xC2\\x9B31m"},  // a C1 control does not
        {"\xc3(\xff\xe2\x82", "\\xC3(\\xFF\\xE2\\x82"},
        {std::string(80, 'x'), std::string(80, 'x')},
        {std::string(81, 'x'), std::string(80, 'x') + "..."},
        {std::string(79, 'x') + "\xc3\xa4",
         std::string(79, 'x') + "..."},  // never half a character
    };
    for (const auto& c : cases) EXPECT_EQ(quoteText(c.text), c.quoted) << c.text;
}

// What a player typed or a script held comes back in the message cut and escaped, however
// long or binary it was.
TEST(QuoteText, MessagesRepeatingBadInputStayShortAndPrintable) {
    // Far over the quoting limit, yet within the length a script line may have.
    const std::string junk = "\x1b]0;owned\x07" + std::string(4000, 'x');
    std::vector<std::string> messages;
    for (const std::string& line : {"1 key " + junk + " down", "1 " + junk, "1 tap A " + junk}) {
        InputScript script;
        std::string error;
        EXPECT_FALSE(parseInputScript(line, script, error));
        messages.push_back(error);
    }
    for (const std::string& argument : {"--" + junk, junk, "--frames=" + junk}) {
        Options options;
        const char* argv[] = {"parapet", argument.c_str(), "--headless"};
        messages.push_back(parseOptions(3, argv, options).text);
    }
    for (const std::string& m : messages) {
        EXPECT_LT(m.size(), 300u) << m.substr(0, 300);
        EXPECT_NE(m.find("xxx..."), std::string::npos) << m.substr(0, 300);
        EXPECT_EQ(m.find('\x1b'), std::string::npos);
    }
}
