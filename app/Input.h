#pragma once
#include <SDL.h>
#include <cstdint>

// The game's own key numbering. Screens index KeyState with these codes; the values are the
// game's, not SDL's, so that a port to another input system keeps them. Letters are named by
// their US places, but a letter key is taken by its label (see KeyCodeFor).
enum KeyCode : uint32_t {
    KeyNone = 0,
    KeyEscape = 1,
    KeyF1 = 2,  // F1..F9 are 2..10; F10 has no code
    KeyF11 = 12,
    KeyF12 = 13,
    KeyMinus = 15,
    KeyEquals = 16,
    KeyBackspace = 17,
    KeyTab = 18,
    KeyLeftBracket = 19,
    KeyRightBracket = 20,
    KeyBackslash = 21,
    KeySemicolon = 22,
    KeyGrave = 23,
    KeyReturn = 24,
    KeyComma = 26,  // the apostrophe has no code
    KeyPeriod = 27,
    KeySlash = 28,
    KeySpace = 32,
    KeyUp = 35,
    KeyDown = 36,
    KeyLeft = 37,
    KeyRight = 38,
    KeyInsert = 39,
    KeyHome = 40,
    KeyPageUp = 41,
    KeyDelete = 42,
    KeyEnd = 43,
    KeyPageDown = 44,
    Key0 = 63,
    Key1 = 64,  // 1..9 are 64..72
    KeyQ = 73,  // Q W E R T Y U I O P are 73..82
    KeyA = 83,  // A S D F G H J K L are 83..91
    KeyZ = 92,  // Z X C V B N M are 92..98
};

constexpr uint8_t HeldBit = 0x80;  // bit 7 of a key or button byte: held right now

// Mouse motion summed since the last snapshot, and the buttons.
struct MouseRecord {
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t dz = 0;           // no event sets it
    uint8_t buttons[8] = {};  // [0] left, [1] middle, [2] right
};

// The game controller: the left stick scaled to -100..+100 (up and left negative), the d-pad,
// and the A and X buttons.
struct PadRecord {
    float stickX = 0.0f;
    float stickY = 0.0f;
    float otherAxes[6] = {};  // no event sets them
    int32_t dpadLeft = 0;     // 1 while held
    int32_t dpadRight = 0;
    int32_t dpadUp = 0;  // the menus step through their buttons with these two
    int32_t dpadDown = 0;
    uint8_t buttons[8] = {};  // [0] A, [1] X
    uint8_t spare[8] = {};    // no event sets them
};

constexpr int PadButtonA = 0;
constexpr int PadButtonX = 1;

// Presses counted since the last copy, for the menus, which act once on each press: a tap whose
// press and release fall between two frames, or within a menu's pause after a click, still
// counts. A key's repeats while held are no presses. Each count stops at 255.
struct PressRecord {
    uint8_t keys[256] = {};      // indexed by KeyCode
    uint8_t padButtons[8] = {};  // [0] A, [1] X
    uint8_t dpadUp = 0;
    uint8_t dpadDown = 0;
};

// One frame's view of all input, copied from the live records.
struct InputRecord {
    uint8_t keys[256] = {};
    MouseRecord mouse;
    PadRecord pad;
    PressRecord presses;
};

// The live records that PumpInput keeps up to date, and the per-frame copy.
extern KeyCode KeyMap[256];  // SDL scancode -> KeyCode
extern uint8_t KeyState[256];
extern MouseRecord MouseState;
extern PadRecord PadState;
extern PressRecord PressState;
extern InputRecord InputSnapshot;

// The game controller whose events reach the pad record: the first one that opens at start-up
// or, while there is none, the first one plugged in later. Null while there is none.
extern SDL_GameController* Controller;

// Opens the first attached device that SDL knows as a game controller, unless one is open.
void OpenFirstController();

// Closes the controller, if one is open.
void CloseController();

// The game's code for a key. A letter key goes by the letter the player's layout gives it (on a
// French keyboard the key labelled Q sits where SDL's scancode A is), every other key by its
// place through KeyMap: arrows, Space, Escape and Return are the same on every layout. A letter
// place to which the layout gives a digit or a sign is no letter key (KeyNone); a layout whose
// letters are not Latin, or an unknown keycode, keeps the places.
KeyCode KeyCodeFor(SDL_Scancode scancode, SDL_Keycode keycode);

// Fills KeyMap with the game's numbering. Called once at start-up.
void InitKeyMap();

// Applies one SDL event to the live records (keys, mouse, controller). A controller plugged in
// while none is open is opened; when the open one is unplugged it is closed, its buttons and
// stick count as released, and another attached controller is taken if there is one. Other
// events, the window's close button among them, change nothing.
void ApplyInputEvent(const SDL_Event& event);

// Drains the SDL event queue into the live records. Every frame loop calls it once.
void PumpInput();

// Copies the live records into `snapshot` and consumes the summed mouse motion and the counted
// presses. A key or button that BeginScreenInput found held reads as released in the copy.
void CopyInput(InputRecord& snapshot);

// CopyInput into the shared InputSnapshot.
void TakeInputSnapshot();

// Clears every live record: keys, buttons, motion, stick and presses.
void ResetInput();

// A screen calls this when it begins, so that a key held from the screen before does not act on
// it: forgets the presses and the mouse motion counted so far, and makes each key and mouse or
// pad button that the last PumpInput left held read as released until it is let go and pressed
// anew; then takes in the events that came since. Start picked with Space does not skip the
// story, and Escape held a little long when leaving the options does not leave the game from the
// main menu.
void BeginScreenInput();

// Held keys and buttons count at once again: play takes fire held from the level banner.
void HonourHeldInput();
