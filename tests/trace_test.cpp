#include "base/trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

TEST(Trace, WritesOneJsonObjectPerEventWithItsFrameAndNothingOnceClosed) {
    std::string path = testing::TempDir() + "trace_test.jsonl";
    ASSERT_TRUE(openTrace(path.c_str()));
    setTraceFrame(166);
    traceState(10, 20);
    traceEnd(9000);
    closeTrace();
    EXPECT_FALSE(traceEnabled());
    traceScore(0, 100);
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "{\"frame\":166,\"event\":\"state\",\"from\":10,\"to\":20}\n"
              "{\"frame\":9000,\"event\":\"end\"}\n");
}

TEST(Trace, EscapesControlCharactersAndQuotes) {
    EXPECT_EQ(jsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

// A full disk must not pass for a written trace: said once with the reason, and reported by
// closeTrace so the run can fail.
TEST(Trace, AWriteFailureIsSaidOnceAndReportedAtClose) {
    ASSERT_TRUE(openTrace("/dev/full"));
    testing::internal::CaptureStderr();
    traceState(10, 20);
    traceScore(0, 100);
    EXPECT_FALSE(closeTrace());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "parapet: cannot write the trace file /dev/full: No space left on device; the trace "
              "is incomplete\n");
    ASSERT_TRUE(openTrace((testing::TempDir() + "trace_ok.jsonl").c_str()));
    traceEnd(1);
    EXPECT_TRUE(closeTrace()) << "a new trace starts clean";
}
