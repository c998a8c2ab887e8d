#include "app/WindowSight.h"

#include "app/Clock.h"
#include "app/FramePacer.h"
#include "app/Input.h"
#include "app/Platform.h"
#include "app/Program.h"
#include "audio/AudioDevice.h"
#include "platform/System.h"

namespace {

// How long one wait in the event queue lasts while out of sight: the longest a quit request or
// a reopened sound device waits to be seen.
constexpr int AwayWaitMilliseconds = 100;

bool FocusSeen = false;

// Shows the frame; a swap the desktop held back counts as an ordinary frame of no length.
void Swap() {
    if (!SwapMayStall) {
        Platform.swapWindow(MainWindow);
        return;
    }
    const uint64_t before = Platform.performanceCounter();
    Platform.swapWindow(MainWindow);
    const uint64_t took = Platform.performanceCounter() - before;
    const double milliseconds =
        static_cast<double>(took) * 1000.0 / static_cast<double>(Platform.performanceFrequency());
    if (milliseconds > StalledSwapMilliseconds) {
        LeaveOutOfClocks(took);
    }
}

bool WindowAway() {
    Uint32 flags = Platform.windowFlags(MainWindow);
    FocusSeen = FocusSeen || (flags & SDL_WINDOW_INPUT_FOCUS) != 0;
    return OutOfSight(flags, FocusSeen);
}

}  // namespace

bool OutOfSight(Uint32 windowFlags, bool focusSeen) {
    if ((windowFlags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0) {
        return true;
    }
    return focusSeen && (windowFlags & SDL_WINDOW_FULLSCREEN) != 0 &&
           (windowFlags & SDL_WINDOW_INPUT_FOCUS) == 0;
}

bool SwapMayStall = false;

void ShowFrame() {
    PaceFrame();
    Swap();
    // SDL brings the window's flags up to date as it takes in the desktop's events; the input
    // events stay queued for the screen's next PumpInput.
    SDL_PumpEvents();
    AdoptReopenedAudioDevice();
    if (!WindowAway()) {
        return;
    }
    StopAllClocks();
    PauseSoundOutput();
    while (!QuitRequested() && WindowAway()) {
        SDL_Event event;
        if (Platform.waitEvent(&event, AwayWaitMilliseconds) != 0) {
            ApplyInputEvent(event);
        }
        AdoptReopenedAudioDevice();
    }
    ResumeSoundOutput();
    StartAllClocks();
}

void ForgetWindowFocus() {
    FocusSeen = false;
}
