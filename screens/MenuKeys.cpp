#include "screens/MenuKeys.h"

#include <vector>

MenuKeyPress MenuKeys::Read(const InputRecord& input) {
    const PadRecord& pad = input.pad;
    const PressRecord& presses = input.presses;
    const bool wasUp = stickUp;
    const bool wasDown = stickDown;
    stickUp = stickUp ? pad.stickY < -StickBack : pad.stickY < -StickPushed;
    stickDown = stickDown ? pad.stickY > StickBack : pad.stickY > StickPushed;
    const int stickSteps =
        started ? (stickDown && !wasDown ? 1 : 0) - (stickUp && !wasUp ? 1 : 0) : 0;
    started = true;
    MenuKeyPress press;
    press.step = presses.keys[KeyDown] + presses.keys[KeyTab] + presses.dpadDown -
                 presses.keys[KeyUp] - presses.dpadUp + stickSteps;
    clicksWaiting +=
        presses.keys[KeyReturn] + presses.keys[KeySpace] + presses.padButtons[PadButtonA];
    if (clicksWaiting > 0) {
        press.click = true;
        --clicksWaiting;
    }
    return press;
}

void StepMenuPointer(const MenuWidget* const* buttons, size_t count, int step) {
    if (step == 0) {
        return;
    }
    std::vector<const MenuWidget*> visible;
    int pointed = -1;  // the visible button under the pointer
    for (size_t i = 0; i < count; ++i) {
        if (buttons[i]->visible) {
            if (MenuWidgetContains(*buttons[i], MenuPointer.x, MenuPointer.y)) {
                pointed = static_cast<int>(visible.size());
            }
            visible.push_back(buttons[i]);
        }
    }
    if (visible.empty()) {
        return;
    }
    const int shown = static_cast<int>(visible.size());
    int target = step > 0 ? step - 1 : shown + step;
    if (pointed >= 0) {
        target = pointed + step;
    }
    target = (target % shown + shown) % shown;
    MenuPointer = MenuWidgetCentre(*visible[target]);
}
