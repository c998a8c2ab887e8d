#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "app/Input.h"
#include "app/QuitRequest.h"
#include "tests/support/FrameDriver.h"

namespace {

bool Held(KeyCode code) {
    return (KeyState[code] & HeldBit) != 0;
}

// The pad as the game keeps it: buttons A and X and the slot B would take, then the d-pad's
// left, right, up and down.
std::vector<int> Pad() {
    const PadRecord& pad = PadState;
    int a = pad.buttons[PadButtonA], x = pad.buttons[PadButtonX], b = pad.buttons[2];
    return {a, x, b, pad.dpadLeft, pad.dpadRight, pad.dpadUp, pad.dpadDown};
}

// Real SDL events go through the queue, so PumpInput is tested as the game runs it; the driver
// starts SDL's events with the key map made and every live record cleared.
class InputTest : public ::testing::Test {
protected:
    FrameDriver driver;
};

}  // namespace

TEST_F(InputTest, KeyMapGivesTheGameNumbering) {
    // Keys by SDL's names for them, and the numbers they must get: every key outside the letter
    // rows, and the first and last key of each letter row.
    const std::pair<const char*, uint32_t> keys[] = {
        {"Escape", 1},  {"F1", 2},      {"F9", 10},        {"F11", 12},      {"F12", 13},
        {"-", 15},      {"=", 16},      {"Backspace", 17}, {"Tab", 18},      {"[", 19},
        {"]", 20},      {"\\", 21},     {";", 22},         {"`", 23},        {"Return", 24},
        {",", 26},      {".", 27},      {"/", 28},         {"Space", 32},    {"Up", 35},
        {"Down", 36},   {"Left", 37},   {"Right", 38},     {"Insert", 39},   {"Home", 40},
        {"PageUp", 41}, {"Delete", 42}, {"End", 43},       {"PageDown", 44}, {"0", 63},
        {"1", 64},      {"9", 72},      {"Q", 73},         {"P", 82},        {"A", 83},
        {"L", 91},      {"Z", 92},      {"M", 98}};
    for (const auto& [name, code] : keys) {
        EXPECT_EQ(KeyMap[SDL_GetScancodeFromName(name)], code) << name;
    }
    int mapped = 0;
    for (KeyCode code : KeyMap) {
        mapped += code != KeyNone;
    }
    EXPECT_EQ(mapped, 72) << "every listed key and nothing else (no F10, no apostrophe)";
}

// A tap between two frames is never seen held, but it is counted as a press in the next
// snapshot, as is each press of a pad button; repeats of a held key are no presses.
TEST_F(InputTest, HeldKeysStayHeldAndTapsBetweenFramesAreCountedButNeverSeenHeld) {
    FrameDriver::PushKey(SDL_SCANCODE_SPACE, true);
    for (int frame = 0; frame < 5; ++frame) {
        PumpInput();
        TakeInputSnapshot();
        EXPECT_TRUE(InputSnapshot.keys[KeySpace] & HeldBit) << "frame " << frame;
        EXPECT_EQ(InputSnapshot.presses.keys[KeySpace], frame == 0 ? 1 : 0) << "frame " << frame;
    }
    SDL_Event repeat{};
    repeat.type = SDL_KEYDOWN;
    repeat.key.keysym.scancode = SDL_SCANCODE_SPACE;
    repeat.key.repeat = 1;
    SDL_PushEvent(&repeat);  // sets the key again
    FrameDriver::PushKey(SDL_SCANCODE_SPACE, false);
    for (int tap = 0; tap < 2; ++tap) {  // pressed and released within one pump, twice
        FrameDriver::PushKey(SDL_SCANCODE_Q, true);
        FrameDriver::PushKey(SDL_SCANCODE_Q, false);
        FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_A, true);
        FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_A, false);
    }
    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    PumpInput();
    EXPECT_FALSE(Held(KeySpace));
    EXPECT_FALSE(Held(KeyQ));
    TakeInputSnapshot();
    const PressRecord& presses = InputSnapshot.presses;
    EXPECT_EQ(std::vector<int>({presses.keys[KeySpace], presses.keys[KeyQ],
                                presses.padButtons[PadButtonA], presses.dpadDown}),
              std::vector<int>({0, 2, 2, 1}));
    TakeInputSnapshot();
    EXPECT_EQ(InputSnapshot.presses.keys[KeyQ], 0) << "each snapshot takes the presses away";
}

// What the screen before left held reads as released on a new screen until it is let go and
// pressed anew: a key, the left mouse button and pad A alike. A press that came after the last
// pump is the new screen's own. Play honours what is held at once.
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
    EXPECT_EQ(InputSnapshot.presses.keys[KeyReturn], 1);
    EXPECT_EQ(InputSnapshot.presses.keys[KeySpace], 0);
    EXPECT_EQ(InputSnapshot.mouse.dx, 0) << "motion from before moves no pointer";
    EXPECT_TRUE(Held(KeySpace)) << "the live record still knows";

    FrameDriver::PushKey(SDL_SCANCODE_SPACE, false);
    FrameDriver::PushKey(SDL_SCANCODE_SPACE, true);
    FrameDriver::PushMouseButton(false);
    PumpInput();
    EXPECT_EQ(seen(), std::vector<bool>({true, false, false, true}));

    BeginScreenInput();
    HonourHeldInput();
    EXPECT_EQ(seen(), std::vector<bool>({true, false, true, true}));
}

// Letter keys go by the letter the layout prints on them, the other keys by their place.
TEST_F(InputTest, LetterKeysGoByTheirLabelAndTheOthersByTheirPlace) {
    struct Press {
        const char* layout;
        SDL_Scancode place;
        SDL_Keycode label;
        uint32_t code;  // what the game sees held
    };
    const Press presses[] = {
        {"French: Q sits where A is on a US keyboard", SDL_SCANCODE_A, SDLK_q, KeyQ},
        {"French: and A where Q is", SDL_SCANCODE_Q, SDLK_a, KeyA},
        {"French: M sits right of L", SDL_SCANCODE_SEMICOLON, SDLK_m, KeyZ + 6},
        {"Dvorak: an apostrophe where Q is", SDL_SCANCODE_Q, SDLK_QUOTE, KeyNone},
        {"Russian: no Latin letter, so the place", SDL_SCANCODE_Q, 0x439, KeyQ},
        {"any: an arrow", SDL_SCANCODE_UP, SDLK_UP, KeyUp},
        {"French: the 1 key gives &", SDL_SCANCODE_1, SDLK_AMPERSAND, Key1},
    };
    for (const Press& press : presses) {
        SCOPED_TRACE(press.layout);
        EXPECT_EQ(KeyCodeFor(press.place, press.label), press.code);
        FrameDriver::PushKey(press.place, press.label, true);
        PumpInput();
        for (uint32_t code = 1; code < 256; ++code) {
            EXPECT_EQ(Held(static_cast<KeyCode>(code)), code == press.code) << code;
        }
        FrameDriver::PushKey(press.place, press.label, false);
        PumpInput();
        EXPECT_FALSE(Held(static_cast<KeyCode>(press.code)));
    }
}

TEST_F(InputTest, UnmappedKeysAndClosingTheWindowChangeNoKey) {
    FrameDriver::PushKey(SDL_SCANCODE_F10, true);
    FrameDriver::PushKey(SDL_SCANCODE_APOSTROPHE, true);
    FrameDriver::PushKey(static_cast<SDL_Scancode>(300), true);  // past the table
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    PumpInput();
    for (int code = 1; code < 256; ++code) {
        EXPECT_EQ(KeyState[code], 0) << code;
    }
    SDL_Event leftover;
    EXPECT_EQ(SDL_PollEvent(&leftover), 0) << "the pump drains the queue";
    EXPECT_FALSE(QuitRequested()) << "the close button is no quit request";
}

TEST_F(InputTest, MotionIsSummedAndConsumedBySnapshotButButtonsStay) {
    FrameDriver::PushMotion(3, -4);
    FrameDriver::PushMotion(10, 1);
    FrameDriver::PushMouseButton(true, SDL_BUTTON_LEFT);
    FrameDriver::PushMouseButton(true, SDL_BUTTON_RIGHT);
    FrameDriver::PushMouseButton(true, SDL_BUTTON_X1);  // button 4 is not kept
    PumpInput();
    TakeInputSnapshot();
    EXPECT_EQ(InputSnapshot.mouse.dx, 13);
    EXPECT_EQ(InputSnapshot.mouse.dy, -3);
    const uint8_t* buttons = InputSnapshot.mouse.buttons;
    EXPECT_EQ(std::vector<int>(buttons, buttons + 4), (std::vector<int>{HeldBit, 0, HeldBit, 0}))
        << "left, middle, right and button 4";

    PumpInput();
    TakeInputSnapshot();
    EXPECT_EQ(InputSnapshot.mouse.dx, 0) << "motion is read once";
    EXPECT_EQ(InputSnapshot.mouse.dy, 0);
    EXPECT_EQ(InputSnapshot.mouse.buttons[0], HeldBit) << "buttons survive the snapshot";
    FrameDriver::PushMouseButton(false, SDL_BUTTON_LEFT);
    PumpInput();
    EXPECT_EQ(MouseState.buttons[0], 0);
}

TEST_F(InputTest, StickScalesToPercentAndOnlyAXAndTheDpadAreKept) {
    FrameDriver::PushPadAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    FrameDriver::PushPadAxis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    FrameDriver::PushPadAxis(SDL_CONTROLLER_AXIS_RIGHTX, 12345);
    for (Uint8 button : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_B,
                         SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
                         SDL_CONTROLLER_BUTTON_DPAD_DOWN}) {
        FrameDriver::PushPadButton(button, true);
    }
    PumpInput();
    EXPECT_FLOAT_EQ(PadState.stickX, -100.0f);
    EXPECT_FLOAT_EQ(PadState.stickY, 99.99695f) << "just under 100";
    for (float axis : PadState.otherAxes) {
        EXPECT_EQ(axis, 0.0f);
    }
    EXPECT_EQ(Pad(), (std::vector<int>{HeldBit, HeldBit, 0, 1, 1, 0, 1})) << "B is not kept";

    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_A, false);
    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    PumpInput();
    EXPECT_EQ(Pad(), (std::vector<int>{0, HeldBit, 0, 0, 1, 1, 0}));
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

    static void PressA(bool down) {
        SDL_JoystickSetVirtualButton(SDL_GameControllerGetJoystick(Controller),
                                     SDL_CONTROLLER_BUTTON_A, down ? 1 : 0);
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
    PressA(true);
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
    PressA(true);
    PumpInput();
    EXPECT_EQ(PadState.buttons[PadButtonA], HeldBit);

    SDL_JoystickDetachVirtual(0);
    PumpInput();
    EXPECT_EQ(Controller, nullptr);
    ASSERT_GE(PlugInVirtualController(), 0) << "plugged back in";
    PumpInput();
    EXPECT_NE(Controller, nullptr);
}
