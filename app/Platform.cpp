#include "app/Platform.h"

namespace {

std::time_t RealCalendarTime() {
    return std::time(nullptr);
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
};

}  // namespace

PlatformCalls Platform = RealPlatform;

void UseRealPlatform() {
    Platform = RealPlatform;
}
