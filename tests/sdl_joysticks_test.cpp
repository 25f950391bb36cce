#include "platform/sdl/sdl_joysticks.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "input/pad_names.h"

// SDL's virtual joysticks stand in for real pads: no device, display or sound card needed.
namespace {

class SdlJoysticksTest : public testing::Test {
protected:
    void SetUp() override {
        SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
        if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) {
            GTEST_SKIP() << "no SDL joystick support here: " << SDL_GetError();
        }
        joysticks_ = std::make_unique<SdlJoysticks>(std::make_shared<SdlLibrary>());
        // Pads really attached to the machine come first; ours follow.
        base_ = joysticks_->enumerate();
    }
    void TearDown() override {
        for (SDL_Joystick* handle : handles_) SDL_JoystickClose(handle);
        joysticks_.reset();  // its library share shuts SDL down
    }

    // Attaches a virtual pad and opens a handle of our own for moving its sticks.
    SDL_Joystick* attach(SDL_JoystickType type, int axes, int buttons, int hats) {
        int device = SDL_JoystickAttachVirtual(type, axes, buttons, hats);
        EXPECT_GE(device, 0) << SDL_GetError();
        SDL_Joystick* handle = SDL_JoystickOpen(device);
        EXPECT_NE(handle, nullptr) << SDL_GetError();
        handles_.push_back(handle);
        return handle;
    }
    SDL_Joystick* attachController() { return attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0); }
    SDL_Joystick* attachRawStick() { return attach(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 4, 1); }

    // The only pad attached, set up as the first player's.
    SDL_Joystick* asFirstPlayers(SDL_Joystick* pad) {
        EXPECT_EQ(joysticks_->enumerate(), base_ + 1);
        EXPECT_TRUE(joysticks_->setUp(0, base_));
        return pad;
    }

    void unplug(SDL_Joystick* handle) {
        SDL_JoystickID id = SDL_JoystickInstanceID(handle);
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        }
        SDL_JoystickUpdate();
    }

    JoystickState readSlot(int slot) {
        SDL_JoystickUpdate();  // what the display's event pump does every frame
        JoystickState state;
        EXPECT_TRUE(joysticks_->read(slot, state));
        return state;
    }

    static int buttonsDown(const JoystickState& state) {
        int count = 0;
        for (uint8_t b : state.buttons) count += (b & 0x80) ? 1 : 0;
        return count;
    }

    std::unique_ptr<SdlJoysticks> joysticks_;
    std::vector<SDL_Joystick*> handles_;
    int base_ = 0;
};

TEST_F(SdlJoysticksTest, ControllerReadsStickFaceButtonsDirectionPadAndTriggers) {
    SDL_Joystick* pad = asFirstPlayers(attachController());
    // Triggers rest at the bottom of their travel.
    SDL_JoystickSetVirtualAxis(pad, 4, -32768);
    SDL_JoystickSetVirtualAxis(pad, 5, -32768);

    JoystickState rest = readSlot(0);
    EXPECT_EQ((std::vector<int>{rest.x, rest.y, buttonsDown(rest)}), (std::vector<int>{0, 0, 0}));

    SDL_JoystickSetVirtualAxis(pad, 0, 32767);
    SDL_JoystickSetVirtualAxis(pad, 1, -32768);
    SDL_JoystickSetVirtualButton(pad, 0, SDL_PRESSED);  // A
    SDL_JoystickSetVirtualButton(pad, 3, SDL_PRESSED);  // Y
    JoystickState pushed = readSlot(0);
    EXPECT_EQ((std::vector<int>{pushed.x, pushed.y, pushed.buttons[SDL_CONTROLLER_BUTTON_A],
                                pushed.buttons[SDL_CONTROLLER_BUTTON_Y], buttonsDown(pushed)}),
              (std::vector<int>{1024, -1024, 0x80, 0x80, 2}));

    // The d-pad wins over the stick, and is reported as its buttons too.
    SDL_JoystickSetVirtualButton(pad, 13, SDL_PRESSED);  // d-pad left
    SDL_JoystickSetVirtualAxis(pad, 5, 32767);           // right trigger pulled
    JoystickState dpad = readSlot(0);
    EXPECT_EQ((std::vector<int>{dpad.x, dpad.y, dpad.buttons[SDL_CONTROLLER_BUTTON_DPAD_LEFT],
                                dpad.buttons[SDL_CONTROLLER_BUTTON_MAX + 1],
                                dpad.buttons[SDL_CONTROLLER_BUTTON_MAX]}),
              (std::vector<int>{-1024, -1024, 0x80, 0x80, 0}));
}

TEST_F(SdlJoysticksTest, UnmappedJoystickReadsAxesButtonsAndHat) {
    SDL_Joystick* stick = asFirstPlayers(attachRawStick());
    SDL_JoystickSetVirtualAxis(stick, 0, -20000);
    SDL_JoystickSetVirtualAxis(stick, 1, 10000);
    SDL_JoystickSetVirtualButton(stick, 2, SDL_PRESSED);
    JoystickState state = readSlot(0);
    EXPECT_EQ((std::vector<int>{state.x, state.y, state.buttons[2], buttonsDown(state)}),
              (std::vector<int>{-625, 312, 0x80, 1}));
    SDL_JoystickSetVirtualHat(stick, 0, SDL_HAT_RIGHTDOWN);
    state = readSlot(0);
    EXPECT_EQ((std::vector<int>{state.x, state.y}), (std::vector<int>{1024, 1024}));
}

TEST_F(SdlJoysticksTest, UnpluggedPadFailsUntilAPadOfItsKindReturnsToItsPlace) {
    SDL_Joystick* first = asFirstPlayers(attachController());
    readSlot(0);

    unplug(first);
    JoystickState state;
    EXPECT_FALSE(joysticks_->read(0, state));
    EXPECT_FALSE(joysticks_->acquire(0));
    EXPECT_EQ(joysticks_->enumerate(), base_ + 1) << "a pulled pad keeps its place";

    // A different kind of pad plugged in meanwhile gets a new place, not the player's.
    attachRawStick();
    EXPECT_EQ(joysticks_->enumerate(), base_ + 2);
    EXPECT_FALSE(joysticks_->acquire(0));
    ASSERT_TRUE(joysticks_->setUp(1, base_ + 1));

    // The same kind plugged back in takes over the old place and the old player.
    SDL_Joystick* again = attachController();
    EXPECT_EQ(joysticks_->enumerate(), base_ + 2);
    ASSERT_TRUE(joysticks_->acquire(0));
    SDL_JoystickSetVirtualButton(again, 1, SDL_PRESSED);  // B
    EXPECT_EQ(readSlot(0).buttons[SDL_CONTROLLER_BUTTON_B], 0x80);
    EXPECT_EQ(buttonsDown(readSlot(1)), 0) << "the other pad is unaffected";
}

TEST_F(SdlJoysticksTest, BadSlotsAndIndicesAreRefusedAndNoMoreThanEightPadsAreListed) {
    attachController();
    ASSERT_EQ(joysticks_->enumerate(), base_ + 1);
    JoystickState state;
    EXPECT_FALSE(joysticks_->setUp(-1, base_));
    EXPECT_FALSE(joysticks_->setUp(SdlJoysticks::maxDevices, base_));
    EXPECT_FALSE(joysticks_->setUp(0, base_ + 1));
    EXPECT_FALSE(joysticks_->read(0, state)) << "slot 0 was never set up";
    EXPECT_FALSE(joysticks_->read(99, state) || joysticks_->acquire(0) || joysticks_->acquire(-3));
    for (int i = 0; i < 10; ++i) attachRawStick();
    EXPECT_EQ(joysticks_->enumerate(), std::min(base_ + 11, SdlJoysticks::maxDevices));
}

}  // namespace

// Prompts name the buttons of the pad in hand: SDL tells its kind from the maker's ids.
TEST_F(SdlJoysticksTest, PromptsNameTheButtonsOfEachKindOfController) {
    struct Case {
        Uint16 vendor, product;
        PadLayout layout;
        const char* fire;     // button 0
        const char* options;  // Start
        const char* trigger;  // the right trigger, which fire may be moved to
    } cases[] = {
        {0x045e, 0x02ea, PadLayout::xbox, "A", "MENU", "RT"},                // Xbox One
        {0x054c, 0x09cc, PadLayout::playstation, "CROSS", "OPTIONS", "R2"},  // DualShock 4
        {0x057e, 0x2009, PadLayout::nintendo, "A", "+", "ZR"},               // Switch Pro
        {0x1234, 0x5678, PadLayout::generic, "A", "START", "RT"},            // unknown maker
    };
    int slot = 0;
    for (const Case& c : cases) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = 6;
        desc.nbuttons = 15;
        desc.vendor_id = c.vendor;
        desc.product_id = c.product;
        ASSERT_GE(SDL_JoystickAttachVirtualEx(&desc), 0) << SDL_GetError();
        int index = joysticks_->enumerate() - 1;
        ASSERT_TRUE(joysticks_->setUp(slot, index));
        EXPECT_EQ(joysticks_->layout(slot), c.layout) << c.vendor;
        EXPECT_EQ(padButtonName(joysticks_->layout(slot), padButtons::a), c.fire);
        EXPECT_EQ(padButtonName(joysticks_->layout(slot), padButtons::start), c.options);
        EXPECT_EQ(padButtonName(joysticks_->layout(slot), padButtons::rightTrigger), c.trigger);
        ++slot;
    }
    attachRawStick();
    ASSERT_TRUE(joysticks_->setUp(slot, joysticks_->enumerate() - 1));
    EXPECT_EQ(padButtonName(joysticks_->layout(slot), padButtons::a), "BUTTON 1");
}
