#include "screens/MenuKeys.h"

#include <vector>

namespace {

// One bit per key or button, so that a press is seen even when another key of the same meaning
// is let go in the same frame.
enum MenuKeyBit : uint32_t {
    UpKey = 1u << 0,
    PadUp = 1u << 1,
    StickUp = 1u << 2,
    DownKey = 1u << 3,
    TabKey = 1u << 4,
    PadDown = 1u << 5,
    StickDown = 1u << 6,
    ReturnKey = 1u << 7,
    SpaceKey = 1u << 8,
    PadA = 1u << 9,
};
constexpr uint32_t PreviousKeys = UpKey | PadUp | StickUp;
constexpr uint32_t NextKeys = DownKey | TabKey | PadDown | StickDown;
constexpr uint32_t ClickKeys = ReturnKey | SpaceKey | PadA;

uint32_t BitIf(bool held, MenuKeyBit bit) {
    return held ? static_cast<uint32_t>(bit) : 0u;
}

bool Held(uint8_t state) {
    return (state & HeldBit) != 0;
}

}  // namespace

MenuKeyPress MenuKeys::Read(const InputRecord& input) {
    const PadRecord& pad = input.pad;
    stickUp = stickUp ? pad.stickY < -StickBack : pad.stickY < -StickPushed;
    stickDown = stickDown ? pad.stickY > StickBack : pad.stickY > StickPushed;
    const uint32_t now =
        BitIf(Held(input.keys[KeyUp]), UpKey) | BitIf(pad.dpadUp != 0, PadUp) |
        BitIf(stickUp, StickUp) | BitIf(Held(input.keys[KeyDown]), DownKey) |
        BitIf(Held(input.keys[KeyTab]), TabKey) | BitIf(pad.dpadDown != 0, PadDown) |
        BitIf(stickDown, StickDown) | BitIf(Held(input.keys[KeyReturn]), ReturnKey) |
        BitIf(Held(input.keys[KeySpace]), SpaceKey) | BitIf(Held(pad.buttons[PadButtonA]), PadA);
    const uint32_t pressed = started ? now & ~held : 0;
    held = now;
    started = true;
    MenuKeyPress press;
    press.step = ((pressed & NextKeys) != 0 ? 1 : 0) - ((pressed & PreviousKeys) != 0 ? 1 : 0);
    press.click = (pressed & ClickKeys) != 0;
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
    int target = step > 0 ? 0 : shown - 1;
    if (pointed >= 0) {
        target = (pointed + (step > 0 ? 1 : shown - 1)) % shown;
    }
    MenuPointer = MenuWidgetCentre(*visible[target]);
}
