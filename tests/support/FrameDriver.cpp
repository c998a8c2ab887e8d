#include "tests/support/FrameDriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/Input.h"

namespace {

FrameDriver* Driver = nullptr;

void Swap(SDL_Window*) {
    int frame = Driver->framesShown++;
    Driver->time.AdvanceMilliseconds(Driver->frameMilliseconds);
    if (Driver->afterSwap) {
        Driver->afterSwap(frame);
    }
    if (Driver->framesShown == Driver->frameLimit) {
        ADD_FAILURE() << "the screen was still running after " << frame + 1 << " frames";
        // Fresh presses: a key held from before counts only once pressed anew.
        for (SDL_Scancode key : {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_Q}) {
            FrameDriver::PushKey(key, false);
            FrameDriver::PushKey(key, true);
        }
    }
    if (Driver->framesShown == 2 * Driver->frameLimit) {
        std::fprintf(stderr, "FrameDriver: the screen would not leave; giving up\n");
        std::abort();
    }
}

}  // namespace

FrameDriver::FrameDriver(double frameMilliseconds) : frameMilliseconds(frameMilliseconds) {
    Driver = this;
    Platform.swapWindow = Swap;
    Platform.delay = [](Uint32 milliseconds) {
        Driver->delays.push_back(milliseconds);
        Driver->time.AdvanceMilliseconds(milliseconds);
    };
    Platform.setWindowBrightness = [](SDL_Window*, float brightness) {
        Driver->brightnesses.push_back(brightness);
        return 0;
    };
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    InitKeyMap();
    ResetInput();
    InputSnapshot = InputRecord{};
}

FrameDriver::~FrameDriver() {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    ResetInput();
    InputSnapshot = InputRecord{};
    Driver = nullptr;
}

void FrameDriver::PushKey(SDL_Scancode scancode, bool down) {
    PushKey(scancode, SDLK_UNKNOWN, down);
}

void FrameDriver::PushKey(SDL_Scancode scancode, SDL_Keycode keycode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    SDL_PushEvent(&event);
}

void FrameDriver::PushMouseButton(bool down, Uint8 button) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    SDL_PushEvent(&event);
}

void FrameDriver::PushMotion(int dx, int dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    SDL_PushEvent(&event);
}

void FrameDriver::PushPadButton(Uint8 button, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    event.cbutton.button = button;
    SDL_PushEvent(&event);
}

void FrameDriver::PushPadAxis(Uint8 axis, Sint16 value) {
    SDL_Event event{};
    event.type = SDL_CONTROLLERAXISMOTION;
    event.caxis.axis = axis;
    event.caxis.value = value;
    SDL_PushEvent(&event);
}
