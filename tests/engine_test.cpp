#include <gtest/gtest.h>

#include "engine/engine.h"
#include "input/input_reader.h"
#include "platform/headless/headless_display.h"
#include "base/log.h"
#include "support/test_sheets.h"

namespace {

class CountingJoysticks : public JoystickSource {
public:
    explicit CountingJoysticks(int attached) : attached_(attached) {}
    int enumerate() override {
        ++calls;
        return attached_;
    }
    bool setUp(int, int) override { return false; }
    bool read(int, JoystickState&) override { return false; }
    bool acquire(int) override { return false; }
    int calls = 0;

private:
    int attached_;
};

}  // namespace

TEST(InputSetUp, ControllersAreCountedUpToEightIdentities) {
    struct Case {
        int attached, expected;
    } cases[] = {{3, 3}, {11, 8}};
    for (const Case& c : cases) {
        CountingJoysticks joysticks(c.attached);
        InputReader reader(nullptr, &joysticks);
        EXPECT_EQ(joysticks.calls, 1);
        EXPECT_EQ(reader.enumeratedJoysticks(), c.expected) << c.attached << " attached";
        EXPECT_EQ(reader.joystickCount(), 0);
    }
    InputReader noControllers(nullptr, nullptr);
    EXPECT_EQ(noControllers.enumeratedJoysticks(), 0);
}

TEST(EngineSetUp, SheetsAreAddedInOrderWithTheirLogLines) {
    std::string dir = makeTempDir("sheetlog");
    std::string log = dir + "/logfile.txt";
    TestEngine t;
    openLog(log.c_str());
    int a = t.addSheet(dir, "a.raw", 16, 8, 8, 8, [](int, int) { return Rgb{9, 9, 9}; });
    int b = t.addSheet(dir, "b.raw", 8, 8, 4, 2, [](int, int) { return Rgb{}; });
    closeLog();
    EXPECT_EQ((std::vector<int>{a, b, t.engine.cellWidth(b), t.engine.cellHeight(b),
                                t.engine.sheetWidth(a), t.engine.sheetHeight(a)}),
              (std::vector<int>{0, 1, 4, 2, 16, 8}));
    const std::string one = "add1\nadd2\nadd3\nok\nadd4\nadd\x05" "add\x06";
    std::vector<uint8_t> bytes = readFileBytes(log);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), one + one);
}
