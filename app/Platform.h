#pragma once
#include <SDL.h>
#include <cstdint>
#include <ctime>

// The few operating-system calls that the frame loops make, gathered in one record so that
// tests can drive time and stand in for the window. The real program never changes it.
struct PlatformCalls {
    Uint64 (*performanceCounter)();          // SDL_GetPerformanceCounter
    Uint64 (*performanceFrequency)();        // SDL_GetPerformanceFrequency
    std::time_t (*calendarTime)();           // time(nullptr): seeds the random generator
    void (*swapWindow)(SDL_Window* window);  // SDL_GL_SwapWindow
    void (*delay)(Uint32 milliseconds);      // SDL_Delay: the pause after a menu action
    int (*setWindowBrightness)(SDL_Window* window, float brightness);
    Uint32 (*windowFlags)(SDL_Window* window);             // SDL_GetWindowFlags
    int (*waitEvent)(SDL_Event* event, int milliseconds);  // SDL_WaitEventTimeout
    // The refresh rate in Hz of the display the window is on; 0 when the display does not say.
    int (*refreshRate)(SDL_Window* window);
    void (*sleep)(Uint32 milliseconds);  // SDL_Delay: the frame pacer's wait for the next refresh
    void (*yield)();                     // std::this_thread::yield: the end of the pacer's wait
};

extern PlatformCalls Platform;

// Puts the real SDL and C library calls back into Platform.
void UseRealPlatform();
