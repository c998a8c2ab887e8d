#include "app/Input.h"

#include <cstring>

#include "platform/System.h"

KeyCode KeyMap[256];
uint8_t KeyState[256];
MouseRecord MouseState;
PadRecord PadState;
PressRecord PressState;
InputRecord InputSnapshot;
SDL_GameController* Controller = nullptr;

namespace {

// The held bits that BeginScreenInput took from the keys and buttons down at that moment; each
// is given back when its key or button is let go.
struct IgnoredUntilReleased {
    uint8_t keys[256] = {};
    uint8_t mouseButtons[8] = {};
    uint8_t padButtons[8] = {};
};
IgnoredUntilReleased Ignored;
static_assert(sizeof MouseRecord::buttons == sizeof PadRecord::buttons,
              "the copies walk both button rows in one loop");

// Scancodes that map to consecutive key codes, in code order.
const SDL_Scancode FunctionKeys[] = {SDL_SCANCODE_F1, SDL_SCANCODE_F2, SDL_SCANCODE_F3,
                                     SDL_SCANCODE_F4, SDL_SCANCODE_F5, SDL_SCANCODE_F6,
                                     SDL_SCANCODE_F7, SDL_SCANCODE_F8, SDL_SCANCODE_F9};
const SDL_Scancode Punctuation[] = {SDL_SCANCODE_MINUS,       SDL_SCANCODE_EQUALS,
                                    SDL_SCANCODE_BACKSPACE,   SDL_SCANCODE_TAB,
                                    SDL_SCANCODE_LEFTBRACKET, SDL_SCANCODE_RIGHTBRACKET,
                                    SDL_SCANCODE_BACKSLASH,   SDL_SCANCODE_SEMICOLON,
                                    SDL_SCANCODE_GRAVE,       SDL_SCANCODE_RETURN};
const SDL_Scancode Arrows[] = {SDL_SCANCODE_UP, SDL_SCANCODE_DOWN, SDL_SCANCODE_LEFT,
                               SDL_SCANCODE_RIGHT};
const SDL_Scancode Navigation[] = {SDL_SCANCODE_INSERT, SDL_SCANCODE_HOME, SDL_SCANCODE_PAGEUP,
                                   SDL_SCANCODE_DELETE, SDL_SCANCODE_END,  SDL_SCANCODE_PAGEDOWN};
const SDL_Scancode Digits[] = {SDL_SCANCODE_1, SDL_SCANCODE_2, SDL_SCANCODE_3,
                               SDL_SCANCODE_4, SDL_SCANCODE_5, SDL_SCANCODE_6,
                               SDL_SCANCODE_7, SDL_SCANCODE_8, SDL_SCANCODE_9};
const SDL_Scancode TopRow[] = {SDL_SCANCODE_Q, SDL_SCANCODE_W, SDL_SCANCODE_E, SDL_SCANCODE_R,
                               SDL_SCANCODE_T, SDL_SCANCODE_Y, SDL_SCANCODE_U, SDL_SCANCODE_I,
                               SDL_SCANCODE_O, SDL_SCANCODE_P};
const SDL_Scancode HomeRow[] = {SDL_SCANCODE_A, SDL_SCANCODE_S, SDL_SCANCODE_D,
                                SDL_SCANCODE_F, SDL_SCANCODE_G, SDL_SCANCODE_H,
                                SDL_SCANCODE_J, SDL_SCANCODE_K, SDL_SCANCODE_L};
const SDL_Scancode BottomRow[] = {SDL_SCANCODE_Z, SDL_SCANCODE_X, SDL_SCANCODE_C, SDL_SCANCODE_V,
                                  SDL_SCANCODE_B, SDL_SCANCODE_N, SDL_SCANCODE_M};

template <int N>
void MapRun(const SDL_Scancode (&scancodes)[N], uint32_t firstCode) {
    for (int i = 0; i < N; ++i) {
        KeyMap[scancodes[i]] = static_cast<KeyCode>(firstCode + i);
    }
}

bool IsLetterPosition(SDL_Scancode scancode) {
    return scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z;
}

// SDL numbers mouse buttons from 1 (left, middle, right); only those three are kept.
uint8_t* MouseButtonByte(Uint8 button) {
    return (button >= 1 && button < 4) ? &MouseState.buttons[button - 1] : nullptr;
}

void SetHeld(uint8_t* byte, bool held) {
    if (byte != nullptr) {
        *byte = held ? (*byte | HeldBit) : (*byte & ~HeldBit);
    }
}

void CountPress(uint8_t& count) {
    if (count < UINT8_MAX) {
        ++count;
    }
}

// A key's or button's held bit, its mark while ignored, and its press count (null when not
// counted): a press counts when it finds the key or button up.
void ApplyButton(uint8_t* held, uint8_t* ignored, uint8_t* presses, bool down) {
    if (held == nullptr) {
        return;
    }
    if (down && (*held & HeldBit) == 0 && presses != nullptr) {
        CountPress(*presses);
    }
    SetHeld(held, down);
    if (!down) {
        *ignored = 0;
    }
}

// The controller's A and X buttons and the d-pad; nothing else is kept.
void ApplyPadButton(Uint8 button, bool held) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            PadState.dpadLeft = held ? 1 : 0;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            PadState.dpadRight = held ? 1 : 0;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            if (held && PadState.dpadUp == 0) {
                CountPress(PressState.dpadUp);
            }
            PadState.dpadUp = held ? 1 : 0;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            if (held && PadState.dpadDown == 0) {
                CountPress(PressState.dpadDown);
            }
            PadState.dpadDown = held ? 1 : 0;
            break;
        case SDL_CONTROLLER_BUTTON_A:
        case SDL_CONTROLLER_BUTTON_X: {
            int index = button == SDL_CONTROLLER_BUTTON_A ? PadButtonA : PadButtonX;
            ApplyButton(&PadState.buttons[index], &Ignored.padButtons[index],
                        &PressState.padButtons[index], held);
            break;
        }
        default:
            break;
    }
}

// A full stick deflection of -32768 reads -100; 32767 reads just under +100.
float StickPercent(Sint16 value) {
    return static_cast<float>(value) * 100.0f * 0.000030517578125f;
}

// True when the device SDL names by its instance id is the open controller.
bool IsOpenController(SDL_JoystickID instance) {
    return Controller != nullptr &&
           SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(Controller)) == instance;
}

}  // namespace

void OpenFirstController() {
    for (int i = 0; Controller == nullptr && i < SDL_NumJoysticks(); ++i) {
        if (SDL_IsGameController(i)) {
            Controller = SDL_GameControllerOpen(i);
        }
    }
}

void CloseController() {
    if (Controller != nullptr) {
        SDL_GameControllerClose(Controller);
        Controller = nullptr;
    }
}

KeyCode KeyCodeFor(SDL_Scancode scancode, SDL_Keycode keycode) {
    if (keycode >= SDLK_a && keycode <= SDLK_z) {
        return KeyMap[SDL_SCANCODE_A + (keycode - SDLK_a)];
    }
    // A letter position that the layout gives a digit or a sign is no letter key.
    if (IsLetterPosition(scancode) && keycode >= SDLK_SPACE && keycode <= SDLK_DELETE) {
        return KeyNone;
    }
    // Scancodes past the table all fall on byte 0, which nobody reads.
    return (scancode >= 0 && scancode < 256) ? KeyMap[scancode] : KeyNone;
}

void InitKeyMap() {
    for (KeyCode& code : KeyMap) {
        code = KeyNone;
    }
    KeyMap[SDL_SCANCODE_ESCAPE] = KeyEscape;
    MapRun(FunctionKeys, KeyF1);
    KeyMap[SDL_SCANCODE_F11] = KeyF11;
    KeyMap[SDL_SCANCODE_F12] = KeyF12;
    MapRun(Punctuation, KeyMinus);
    KeyMap[SDL_SCANCODE_COMMA] = KeyComma;
    KeyMap[SDL_SCANCODE_PERIOD] = KeyPeriod;
    KeyMap[SDL_SCANCODE_SLASH] = KeySlash;
    KeyMap[SDL_SCANCODE_SPACE] = KeySpace;
    MapRun(Arrows, KeyUp);
    MapRun(Navigation, KeyInsert);
    KeyMap[SDL_SCANCODE_0] = Key0;
    MapRun(Digits, Key1);
    MapRun(TopRow, KeyQ);
    MapRun(HomeRow, KeyA);
    MapRun(BottomRow, KeyZ);
}

void ApplyInputEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            KeyCode code = KeyCodeFor(event.key.keysym.scancode, event.key.keysym.sym);
            // A key's repeats while it is held are no presses.
            ApplyButton(&KeyState[code], &Ignored.keys[code],
                        event.key.repeat == 0 ? &PressState.keys[code] : nullptr,
                        event.type == SDL_KEYDOWN);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            uint8_t* held = MouseButtonByte(event.button.button);
            if (held != nullptr) {
                ApplyButton(held, &Ignored.mouseButtons[held - MouseState.buttons], nullptr,
                            event.type == SDL_MOUSEBUTTONDOWN);
            }
            break;
        }
        case SDL_MOUSEMOTION:
            MouseState.dx += event.motion.xrel;
            MouseState.dy += event.motion.yrel;
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
                PadState.stickX = StickPercent(event.caxis.value);
            } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
                PadState.stickY = StickPercent(event.caxis.value);
            }
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            ApplyPadButton(event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        case SDL_CONTROLLERDEVICEADDED:
            // The event's device index may be stale by now; the search finds the device anyway.
            OpenFirstController();
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (IsOpenController(event.cdevice.which)) {
                CloseController();
                PadState = PadRecord{};
                std::memset(Ignored.padButtons, 0, sizeof Ignored.padButtons);
                OpenFirstController();
            }
            break;
        case SDL_QUIT:
            WindowCloseRequested();
            break;
        default:
            break;
    }
}

void PumpInput() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        ApplyInputEvent(event);
    }
}

void CopyInput(InputRecord& snapshot) {
    snapshot.mouse = MouseState;
    snapshot.pad = PadState;
    for (size_t i = 0; i < sizeof KeyState; ++i) {
        snapshot.keys[i] = KeyState[i] & ~Ignored.keys[i];
    }
    for (size_t i = 0; i < sizeof MouseState.buttons; ++i) {
        snapshot.mouse.buttons[i] &= ~Ignored.mouseButtons[i];
        snapshot.pad.buttons[i] &= ~Ignored.padButtons[i];
    }
    snapshot.presses = PressState;
    PressState = PressRecord{};
    MouseState.dx = 0;
    MouseState.dy = 0;
    MouseState.dz = 0;
}

void TakeInputSnapshot() {
    CopyInput(InputSnapshot);
}

void ResetInput() {
    std::memset(KeyState, 0, sizeof KeyState);
    MouseState = MouseRecord{};
    PadState = PadRecord{};
    PressState = PressRecord{};
    Ignored = IgnoredUntilReleased{};
    InputSnapshot = InputRecord{};
}

// What the screen before saw held is ignored; what happened since it last looked (a release, a
// new press during its pause before leaving) is taken in after that, as this screen's own.
void BeginScreenInput() {
    PressState = PressRecord{};
    // Motion summed while nobody looked is no move of the new screen's pointer; on Wayland it
    // holds the pointer's whole position from the moment it entered the window.
    MouseState.dx = 0;
    MouseState.dy = 0;
    MouseState.dz = 0;
    for (size_t i = 0; i < sizeof KeyState; ++i) {
        Ignored.keys[i] = KeyState[i] & HeldBit;
    }
    for (size_t i = 0; i < sizeof MouseState.buttons; ++i) {
        Ignored.mouseButtons[i] = MouseState.buttons[i] & HeldBit;
        Ignored.padButtons[i] = PadState.buttons[i] & HeldBit;
    }
    PumpInput();
}

void HonourHeldInput() {
    Ignored = IgnoredUntilReleased{};
}
