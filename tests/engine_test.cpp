#include <gtest/gtest.h>

#include "engine/engine.h"
#include "platform/headless/headless_display.h"
#include "shell/log.h"
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

TEST(EngineSetUp, ControllersAreCountedUpToEightIdentities) {
    struct Case {
        int attached, expected;
    } cases[] = {{0, 0}, {3, 3}, {8, 8}, {11, 8}};
    for (const Case& c : cases) {
        HeadlessDisplay display(640, 480);
        SilentKeyboard keyboard;
        CountingJoysticks joysticks(c.attached);
        Engine e(&display, &keyboard, &joysticks, 640, 480, 16);
        EXPECT_EQ(joysticks.calls, 1);
        EXPECT_EQ(e.enumeratedJoysticks(), c.expected) << c.attached << " attached";
        EXPECT_EQ(e.joystickCount(), 0);
    }
    HeadlessDisplay display(640, 480);
    Engine noControllers(&display, nullptr, nullptr, 640, 480, 16);
    EXPECT_EQ(noControllers.enumeratedJoysticks(), 0);
}

TEST(EngineSetUp, ANewEngineHasBlackSurfacesAndAClipReachingPastTheScreen) {
    logEnabled = false;
    TestEngine t;
    Engine& e = t.engine;
    EXPECT_TRUE(logEnabled);
    EXPECT_EQ(e.screenWidth(), 640);
    EXPECT_EQ(e.screenHeight(), 480);
    const Rect& clip = e.clipRect();
    EXPECT_EQ(clip.left, -100);
    EXPECT_EQ(clip.top, -100);
    EXPECT_EQ(clip.right, 740);
    EXPECT_EQ(clip.bottom, 580);
    for (Surface* s : {e.frontSurface(), e.backBuffer(), e.pictureSurface(), e.backgroundSurface()}) {
        EXPECT_EQ(s->width(), 640);
        EXPECT_EQ(s->height(), 480);
        EXPECT_EQ(s->pixels()[0], 0);
        EXPECT_EQ(s->pixels()[640 * 480 - 1], 0);
    }
}

TEST(EngineSetUp, SheetsAreAddedInOrderWithTheirLogLines) {
    std::string dir = makeTempDir("sheetlog");
    std::string log = dir + "/logfile.txt";
    TestEngine t;
    openLog(log.c_str());
    int a = t.addSheet(dir, "a.raw", 16, 8, 8, 8, [](int, int) { return Rgb{9, 9, 9}; });
    int b = t.addSheet(dir, "b.raw", 8, 8, 4, 2, [](int, int) { return Rgb{}; });
    closeLog();
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(t.engine.cellWidth(b), 4);
    EXPECT_EQ(t.engine.cellHeight(b), 2);
    EXPECT_EQ(t.engine.sheetWidth(a), 16);
    EXPECT_EQ(t.engine.sheetHeight(a), 8);
    const std::string one = "add1\nadd2\nadd3\nok\nadd4\nadd\x05" "add\x06";
    std::vector<uint8_t> bytes = readFileBytes(log);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), one + one);
}
