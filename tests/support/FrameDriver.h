#pragma once
#include <SDL.h>

#include <functional>
#include <vector>

#include "tests/support/DrivenTime.h"

// Runs a screen's own frame loop from inside: every swap of the window ends one frame, and the
// test's step for that frame runs right there to push input, move time or look at what was
// drawn. Time is driven: each swap moves it on by the frame time, and each pause (SDL_Delay) by
// its length. Pauses and window-brightness changes are recorded. SDL's event queue runs, so
// pushed events reach PumpInput, and the live input records start cleared.
class FrameDriver {
public:
    explicit FrameDriver(double frameMilliseconds = 20.0);
    ~FrameDriver();
    FrameDriver(const FrameDriver&) = delete;
    FrameDriver& operator=(const FrameDriver&) = delete;

    // Runs after each swap with the number of the frame just shown, counted from 0.
    std::function<void(int frame)> afterSwap;
    // A loop still running after this many frames fails the test and is made to leave by
    // holding Escape (which ends every menu and story screen) and Q (which ends a level).
    int frameLimit = 2000;

    int framesShown = 0;
    double frameMilliseconds;
    std::vector<Uint32> delays;       // every pause, in order
    std::vector<float> brightnesses;  // every window brightness set, in order
    DrivenTime time;

    // A key by its place, with an unknown keycode, or with the keycode a layout gives it.
    static void PushKey(SDL_Scancode scancode, bool down);
    static void PushKey(SDL_Scancode scancode, SDL_Keycode keycode, bool down);
    static void PushMouseButton(bool down, Uint8 button = SDL_BUTTON_LEFT);
    static void PushMotion(int dx, int dy);
    static void PushPadButton(Uint8 button, bool down);
    static void PushPadAxis(Uint8 axis, Sint16 value);
};
