#include <gtest/gtest.h>

#include <string>

#include "program/screenshot_name.h"

namespace {
std::string after(const char* name) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s", name);
    advanceScreenshotName(buffer, sizeof buffer);
    return buffer;
}
}  // namespace

TEST(ScreenshotName, CarriesAtEightThenRipplesIntoNewDigits) {
    struct Case {
        const char* from;
        const char* to;
    };
    const Case cases[] = {
        {"c:\\snap00.bmp", "c:\\snap01.bmp"},   {"c:\\snap07.bmp", "c:\\snap08.bmp"},
        {"c:\\snap08.bmp", "c:\\snap10.bmp"},   {"c:\\snap18.bmp", "c:\\snap20.bmp"},
        {"c:\\snap88.bmp", "c:\\snap90.bmp"},   {"c:\\snap98.bmp", "c:\\snap100.bmp"},
        {"c:\\snap100.bmp", "c:\\snap101.bmp"}, {"c:\\snap108.bmp", "c:\\snap110.bmp"},
        {"c:\\snap198.bmp", "c:\\snap200.bmp"}, {"c:\\snap998.bmp", "c:\\snap1000.bmp"},
    };
    for (const Case& c : cases) EXPECT_EQ(after(c.from), c.to) << c.from;
}

