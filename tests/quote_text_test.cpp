#include "base/quote_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


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

