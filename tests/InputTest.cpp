#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "app/Input.h"
#include "platform/System.h"
#include "tests/support/FrameDriver.h"
#include "tests/support/TestSystem.h"

namespace {

bool Held(KeyCode code) {
    return (KeyState[code] & HeldBit) != 0;
}

// Real SDL events go through the queue, so PumpInput is tested as the game runs it; the driver
// starts SDL's events with the key map made and every live record cleared.
class InputTest : public ::testing::Test {
protected:
    FrameDriver driver;
};

}  // namespace

// What the screen before left held reads as released on a new screen until it is let go and
// pressed anew: a key, the left mouse button and pad A alike. A press that came after the last
// pump is the new screen's own, and so is every motion after it, however many events it came in.
// Play honours what is held at once.
TEST_F(InputTest, KeysAndButtonsHeldFromTheScreenBeforeWaitForANewPress) {
    FrameDriver::PushKey(SDL_SCANCODE_SPACE, true);
    FrameDriver::PushMouseButton(true);
    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_A, true);
    FrameDriver::PushMotion(640, 360);  // how SDL on Wayland reports the pointer entering
    PumpInput();
    FrameDriver::PushKey(SDL_SCANCODE_RETURN, true);  // between the last pump and the new screen
    BeginScreenInput();
    auto seen = [] {
        TakeInputSnapshot();
        return std::vector<bool>{(InputSnapshot.keys[KeySpace] & HeldBit) != 0,
                                 (InputSnapshot.mouse.buttons[0] & HeldBit) != 0,
                                 (InputSnapshot.pad.buttons[PadButtonA] & HeldBit) != 0,
                                 (InputSnapshot.keys[KeyReturn] & HeldBit) != 0};
    };
    EXPECT_EQ(seen(), std::vector<bool>({false, false, false, true}));
    EXPECT_EQ(InputSnapshot.mouse.dx, 0) << "motion from before moves no pointer";

    FrameDriver::PushKey(SDL_SCANCODE_SPACE, false);
    FrameDriver::PushKey(SDL_SCANCODE_SPACE, true);
    FrameDriver::PushMouseButton(false);
    FrameDriver::PushMotion(3, -4);
    FrameDriver::PushMotion(10, 1);
    PumpInput();
    EXPECT_EQ(seen(), std::vector<bool>({true, false, false, true}));
    EXPECT_EQ(std::make_pair(InputSnapshot.mouse.dx, InputSnapshot.mouse.dy),
              std::make_pair(13, -3));

    BeginScreenInput();
    HonourHeldInput();
    EXPECT_EQ(seen(), std::vector<bool>({true, false, true, true}));
}

// Letter keys go by the letter the layout prints on them, the other keys by their place; a key
// past the table is no key, and the window's close button is a quit request only where the
// system's players expect one: on Windows, not on the POSIX desktops.
TEST_F(InputTest, LetterKeysGoByTheirLabelTheOthersByTheirPlaceAndCloseQuitsOnlyOnWindows) {
    const struct {
        const char* layout;
        SDL_Scancode place;
        SDL_Keycode label;
        uint32_t code;  // what the game sees held
    } presses[] = {
        {"French: Q sits where A is on a US keyboard", SDL_SCANCODE_A, SDLK_q, KeyQ},
        {"French: and A where Q is", SDL_SCANCODE_Q, SDLK_a, KeyA},
        {"Dvorak: an apostrophe where Q is", SDL_SCANCODE_Q, SDLK_QUOTE, KeyNone},
        {"Russian: no Latin letter, so the place", SDL_SCANCODE_Q, 0x439, KeyQ},
        {"French: the 1 key gives &", SDL_SCANCODE_1, SDLK_AMPERSAND, Key1},
        {"a media key, past the key table", static_cast<SDL_Scancode>(300), 0, KeyNone},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.layout);
        FrameDriver::PushKey(press.place, press.label, true);
        PumpInput();
        for (uint32_t code = 1; code < 256; ++code) {
            EXPECT_EQ(Held(static_cast<KeyCode>(code)), code == press.code) << code;
        }
        FrameDriver::PushKey(press.place, press.label, false);
        PumpInput();
        EXPECT_FALSE(Held(static_cast<KeyCode>(press.code)));
    }
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    PumpInput();
    EXPECT_EQ(QuitRequested(), WindowCloseIsAQuitRequest);
    ClearQuitRequest();
}

// The stick's sideways push turns the ship in hundredths of a full push, and the d-pad's left and
// right turn it while held.
TEST_F(InputTest, TheStickScalesToPercentAndTheDpadTurnsWhileHeld) {
    FrameDriver::PushPadAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    PumpInput();
    EXPECT_EQ(std::make_tuple(PadState.stickX, PadState.dpadLeft, PadState.dpadRight),
              std::make_tuple(-100.0f, 1, 1));
    FrameDriver::PushPadAxis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    PumpInput();
    EXPECT_EQ(std::make_tuple(PadState.stickX, PadState.dpadLeft, PadState.dpadRight),
              std::make_tuple(99.9969482421875f, 0, 1))
        << "just under 100";
}

namespace {

// A virtual device that SDL reports as a game controller being plugged in.
int PlugInVirtualController() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    return SDL_JoystickAttachVirtualEx(&desc);
}

// SDL's joysticks and game controllers for one test, with no controller open before or after.
class ControllerTest : public InputTest {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
        if (SDL_NumJoysticks() > 0) {
            GTEST_SKIP() << "a real joystick is attached; only virtual ones are counted on";
        }
    }
    void TearDown() override {
        CloseController();
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i) {
            if (SDL_JoystickIsVirtual(i)) {
                SDL_JoystickDetachVirtual(i);
            }
        }
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    static void PressA() {
        SDL_JoystickSetVirtualButton(SDL_GameControllerGetJoystick(Controller),
                                     SDL_CONTROLLER_BUTTON_A, 1);
    }
};

}  // namespace

// No controller at start: the first one plugged in is used; the second waits until the first is
// unplugged, whose held button then counts as released.
TEST_F(ControllerTest, OnePluggedInLaterIsUsedAndAnotherTakesOverWhenItIsUnplugged) {
    OpenFirstController();
    EXPECT_EQ(Controller, nullptr);

    int first = PlugInVirtualController();
    ASSERT_GE(first, 0) << SDL_GetError();
    PumpInput();
    ASSERT_NE(Controller, nullptr);
    SDL_JoystickID firstId = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Controller));
    PressA();
    PumpInput();
    EXPECT_EQ(PadState.buttons[PadButtonA], HeldBit);

    ASSERT_GE(PlugInVirtualController(), 0);
    PumpInput();
    EXPECT_EQ(SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Controller)), firstId)
        << "the first one stays in use";

    SDL_JoystickDetachVirtual(first);
    PumpInput();
    ASSERT_NE(Controller, nullptr) << "the other one, still attached, takes over";
    EXPECT_NE(SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Controller)), firstId);
    EXPECT_EQ(PadState.buttons[PadButtonA], 0) << "A is no longer held";
    PressA();
    PumpInput();
    EXPECT_EQ(PadState.buttons[PadButtonA], HeldBit);

    SDL_JoystickDetachVirtual(0);
    PumpInput();
    EXPECT_EQ(Controller, nullptr);
}
