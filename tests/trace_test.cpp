#include "base/trace.h"

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"

TEST(Trace, WritesOneJsonObjectPerEventWithItsFrameAndNothingOnceClosed) {
    std::string path = testing::TempDir() + "trace_test.jsonl";
    ASSERT_TRUE(openTrace(path.c_str()));
    setTraceFrame(166);
    traceState(10, 20);
    traceEnd(9000);
    closeTrace();
    EXPECT_FALSE(traceEnabled());
    traceScore(0, 100);
    EXPECT_EQ(readText(path),
              "{\"frame\":166,\"event\":\"state\",\"from\":10,\"to\":20}\n"
              "{\"frame\":9000,\"event\":\"end\"}\n");
}

TEST(Trace, EscapesControlCharactersAndQuotes) {
    EXPECT_EQ(jsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}
