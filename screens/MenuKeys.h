#pragma once
#include <cstddef>
#include <cstdint>

#include "app/Input.h"
#include "screens/MenuWidget.h"

// The menus without a mouse. Up, Down and Tab, the controller's d-pad up and down and its left
// stick pushed up or down move the pointer onto the previous or next button; Return, Space and
// the controller's A act as the left mouse button. Unlike the rest of the menus' input, these
// are taken as presses: one press moves or acts once, however long it is held.
struct MenuKeyPress {
    int step = 0;        // -1 to the previous button, +1 to the next, 0 stay
    bool click = false;  // acts as the left mouse button in this frame
};

// Tells one frame's presses from the keys and buttons held at the menu's last frame. Keys
// already held when a menu starts act only once they are released and pressed anew.
class MenuKeys {
public:
    // This frame's presses, from the frame's input.
    MenuKeyPress Read(const InputRecord& input);

private:
    uint32_t held = 0;     // one bit per key or button, as seen at the last Read
    bool started = false;  // false until the first Read, which only takes note
    bool stickUp = false;  // the stick counts as pushed until it is nearly back
    bool stickDown = false;
};

// The stick counts as pushed beyond this many of its 100 units, and as back once it is within
// the second number again, so that a stick held near the first one does not step back and forth.
constexpr float StickPushed = 50.0f;
constexpr float StickBack = 25.0f;

// Moves the pointer onto the centre of the visible button before (step -1) or after (step +1)
// the visible one it is over, in the order given and wrapping around; from no button, onto the
// first (step +1) or the last (step -1). Step 0 leaves it.
void StepMenuPointer(const MenuWidget* const* buttons, size_t count, int step);

// The same over a menu's widgets, with the buttons in `order` given by their indices.
template <typename Index, size_t N>
void StepMenuPointer(const MenuWidget* widgets, const Index (&order)[N], int step) {
    const MenuWidget* buttons[N];
    for (size_t i = 0; i < N; ++i) {
        buttons[i] = &widgets[order[i]];
    }
    StepMenuPointer(buttons, N, step);
}
