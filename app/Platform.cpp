#include "app/Platform.h"

#include <thread>

namespace {

std::time_t RealCalendarTime() {
    return std::time(nullptr);
}

int RealRefreshRate(SDL_Window* window) {
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

void RealYield() {
    std::this_thread::yield();
}

constexpr PlatformCalls RealPlatform{
    SDL_GetPerformanceCounter,
    SDL_GetPerformanceFrequency,
    RealCalendarTime,
    SDL_GL_SwapWindow,
    SDL_Delay,
    SDL_SetWindowBrightness,
    SDL_GetWindowFlags,
    SDL_WaitEventTimeout,
    RealRefreshRate,
    SDL_Delay,
    RealYield,
};

}  // namespace

PlatformCalls Platform = RealPlatform;

void UseRealPlatform() {
    Platform = RealPlatform;
}
