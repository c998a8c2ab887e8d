#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/Input.h"

namespace {

// Pushes real SDL events through the queue, so PumpInput is tested as the game runs it.
class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
        InitKeyMap();
        ResetInput();
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }

    static void PushKey(SDL_Scancode scancode, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.scancode = scancode;
        SDL_PushEvent(&event);
    }
    static void PushMotion(int xrel, int yrel) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.xrel = xrel;
        event.motion.yrel = yrel;
        SDL_PushEvent(&event);
    }
    static void PushMouseButton(Uint8 button, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = button;
        SDL_PushEvent(&event);
    }
    static void PushAxis(Uint8 axis, Sint16 value) {
        SDL_Event event{};
        event.type = SDL_CONTROLLERAXISMOTION;
        event.caxis.axis = axis;
        event.caxis.value = value;
        SDL_PushEvent(&event);
    }
    static void PushPadButton(Uint8 button, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
        event.cbutton.button = button;
        SDL_PushEvent(&event);
    }
    static bool Held(KeyCode code) { return (KeyState[code] & HeldBit) != 0; }
};

}  // namespace

TEST_F(InputTest, KeyMapGivesTheGameNumbering) {
    const std::vector<std::pair<SDL_Scancode, uint32_t>> expected = {
        {SDL_SCANCODE_ESCAPE, 1},
        {SDL_SCANCODE_F1, 2},
        {SDL_SCANCODE_F9, 10},
        {SDL_SCANCODE_F11, 12},
        {SDL_SCANCODE_F12, 13},
        {SDL_SCANCODE_MINUS, 15},
        {SDL_SCANCODE_EQUALS, 16},
        {SDL_SCANCODE_BACKSPACE, 17},
        {SDL_SCANCODE_TAB, 18},
        {SDL_SCANCODE_LEFTBRACKET, 19},
        {SDL_SCANCODE_RIGHTBRACKET, 20},
        {SDL_SCANCODE_BACKSLASH, 21},
        {SDL_SCANCODE_SEMICOLON, 22},
        {SDL_SCANCODE_GRAVE, 23},
        {SDL_SCANCODE_RETURN, 24},
        {SDL_SCANCODE_COMMA, 26},
        {SDL_SCANCODE_PERIOD, 27},
        {SDL_SCANCODE_SLASH, 28},
        {SDL_SCANCODE_SPACE, 32},
        {SDL_SCANCODE_UP, 35},
        {SDL_SCANCODE_DOWN, 36},
        {SDL_SCANCODE_LEFT, 37},
        {SDL_SCANCODE_RIGHT, 38},
        {SDL_SCANCODE_INSERT, 39},
        {SDL_SCANCODE_HOME, 40},
        {SDL_SCANCODE_PAGEUP, 41},
        {SDL_SCANCODE_DELETE, 42},
        {SDL_SCANCODE_END, 43},
        {SDL_SCANCODE_PAGEDOWN, 44},
        {SDL_SCANCODE_0, 63},
        {SDL_SCANCODE_1, 64},
        {SDL_SCANCODE_9, 72},
        {SDL_SCANCODE_Q, 73},
        {SDL_SCANCODE_W, 74},
        {SDL_SCANCODE_P, 82},
        {SDL_SCANCODE_A, 83},
        {SDL_SCANCODE_S, 84},
        {SDL_SCANCODE_L, 91},
        {SDL_SCANCODE_Z, 92},
        {SDL_SCANCODE_X, 93},
        {SDL_SCANCODE_M, 98},
    };
    for (const auto& [scancode, code] : expected) {
        EXPECT_EQ(KeyMap[scancode], code) << SDL_GetScancodeName(scancode);
    }
    const char letters[] = "QWERTYUIOPASDFGHJKLZXCVBNM";
    for (int i = 0; i < 26; ++i) {
        SDL_Scancode scancode = SDL_GetScancodeFromName(std::string(1, letters[i]).c_str());
        EXPECT_EQ(KeyMap[scancode], 73u + i) << letters[i];
    }
    EXPECT_EQ(KeyMap[SDL_SCANCODE_F10], KeyNone);
    EXPECT_EQ(KeyMap[SDL_SCANCODE_APOSTROPHE], KeyNone);
    int mapped = 0;
    for (KeyCode code : KeyMap) {
        mapped += code != KeyNone;
    }
    EXPECT_EQ(mapped, 72) << "every listed key and nothing else";
}

TEST_F(InputTest, HeldKeysStayHeldAndTapsBetweenFramesAreNeverSeen) {
    PushKey(SDL_SCANCODE_SPACE, true);
    for (int frame = 0; frame < 5; ++frame) {
        PumpInput();
        TakeInputSnapshot();
        EXPECT_TRUE(InputSnapshot.keys[KeySpace] & HeldBit) << "frame " << frame;
    }
    PushKey(SDL_SCANCODE_SPACE, true);  // a key repeat sets it again
    PushKey(SDL_SCANCODE_SPACE, false);
    PushKey(SDL_SCANCODE_Q, true);  // pressed and released within one pump
    PushKey(SDL_SCANCODE_Q, false);
    PumpInput();
    EXPECT_FALSE(Held(KeySpace));
    EXPECT_FALSE(Held(KeyQ));
}

TEST_F(InputTest, UnmappedKeysOnlyTouchTheUnreadByte) {
    PushKey(SDL_SCANCODE_F10, true);
    PushKey(SDL_SCANCODE_APOSTROPHE, true);
    PushKey(static_cast<SDL_Scancode>(300), true);  // past the table
    PumpInput();
    for (int code = 1; code < 256; ++code) {
        EXPECT_EQ(KeyState[code], 0) << code;
    }
}

TEST_F(InputTest, MotionIsSummedAndConsumedBySnapshotButButtonsStay) {
    PushMotion(3, -4);
    PushMotion(10, 1);
    PushMouseButton(SDL_BUTTON_LEFT, true);
    PushMouseButton(SDL_BUTTON_RIGHT, true);
    PushMouseButton(SDL_BUTTON_X1, true);  // button 4 is not kept
    PumpInput();
    TakeInputSnapshot();
    EXPECT_EQ(InputSnapshot.mouse.dx, 13);
    EXPECT_EQ(InputSnapshot.mouse.dy, -3);
    EXPECT_EQ(InputSnapshot.mouse.buttons[0], HeldBit);
    EXPECT_EQ(InputSnapshot.mouse.buttons[1], 0);
    EXPECT_EQ(InputSnapshot.mouse.buttons[2], HeldBit);
    EXPECT_EQ(InputSnapshot.mouse.buttons[3], 0);
    EXPECT_EQ(MouseState.dx, 0);
    EXPECT_EQ(MouseState.dy, 0);

    PumpInput();
    TakeInputSnapshot();
    EXPECT_EQ(InputSnapshot.mouse.dx, 0) << "no new motion, none read";
    EXPECT_EQ(InputSnapshot.mouse.buttons[0], HeldBit) << "buttons survive the snapshot";
    PushMouseButton(SDL_BUTTON_LEFT, false);
    PumpInput();
    EXPECT_EQ(MouseState.buttons[0], 0);
}

TEST_F(InputTest, StickScalesToPercentAndPadButtonsAreKept) {
    PushAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    PushAxis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    PushAxis(SDL_CONTROLLER_AXIS_RIGHTX, 12345);
    PumpInput();
    EXPECT_FLOAT_EQ(PadState.stickX, -100.0f);
    EXPECT_FLOAT_EQ(PadState.stickY, 32767.0f * 100.0f * 0.000030517578125f);
    EXPECT_LT(PadState.stickY, 100.0f);
    for (float axis : PadState.otherAxes) {
        EXPECT_EQ(axis, 0.0f);
    }

    PushPadButton(SDL_CONTROLLER_BUTTON_A, true);
    PushPadButton(SDL_CONTROLLER_BUTTON_X, true);
    PushPadButton(SDL_CONTROLLER_BUTTON_B, true);
    PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    PumpInput();
    EXPECT_EQ(PadState.buttons[PadButtonA], HeldBit);
    EXPECT_EQ(PadState.buttons[PadButtonX], HeldBit);
    EXPECT_EQ(PadState.buttons[2], 0) << "B is not kept";
    EXPECT_EQ(PadState.dpadLeft, 1);
    EXPECT_EQ(PadState.dpadRight, 1);

    PushPadButton(SDL_CONTROLLER_BUTTON_A, false);
    PushPadButton(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    PumpInput();
    EXPECT_EQ(PadState.buttons[PadButtonA], 0);
    EXPECT_EQ(PadState.buttons[PadButtonX], HeldBit);
    EXPECT_EQ(PadState.dpadLeft, 0);
    EXPECT_EQ(PadState.dpadRight, 1);
}

TEST_F(InputTest, ClosingTheWindowChangesNothing) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    PumpInput();
    for (uint8_t key : KeyState) {
        EXPECT_EQ(key, 0);
    }
    SDL_Event leftover;
    EXPECT_EQ(SDL_PollEvent(&leftover), 0) << "the pump drains the queue";
}
