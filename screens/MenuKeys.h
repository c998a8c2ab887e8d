#pragma once
#include <cstddef>
#include <cstdint>

#include "app/Input.h"
#include "screens/MenuWidget.h"

// The menus without a mouse. Up, Down and Tab, the controller's d-pad up and down and its left
// stick pushed up or down move the pointer onto the previous or next button; Return, Space and
// the controller's A act as the left mouse button. Unlike the rest of the menus' input, these
// are taken as presses: each press moves or acts once, however long or short it is held.
struct MenuKeyPress {
    int step = 0;        // buttons to move: negative to the previous ones, positive to the next
    bool click = false;  // acts as the left mouse button in this frame
};

// Turns the presses counted in each frame's input into steps and clicks. Several steps in one
// frame move the pointer that many buttons; several clicks act one per frame, since a menu
// acts on what the pointer shows, and that changes with each click.
class MenuKeys {
public:
    // This frame's presses, from the frame's input.
    MenuKeyPress Read(const InputRecord& input);

private:
    int clicksWaiting = 0;  // presses of the click keys not yet acted on
    bool started = false;   // false until the first Read: a stick pushed then has to come back
    bool stickUp = false;   // the stick counts as pushed until it is nearly back
    bool stickDown = false;
};

// The stick counts as pushed beyond this many of its 100 units, and as back once it is within
// the second number again, so that a stick held near the first one does not step back and forth.
constexpr float StickPushed = 50.0f;
constexpr float StickBack = 25.0f;

// Moves the pointer onto the centre of the visible button before (step -1) or after (step +1)
// the visible one it is over, in the order given and wrapping around; from no button, onto the
// first (step +1) or the last (step -1). A larger step moves as many buttons; 0 leaves it.
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
