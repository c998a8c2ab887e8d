#include "tests/support/DrivenTime.h"

#include <algorithm>

#include "app/FramePacer.h"

uint64_t DrivenTime::Counter = 0;
uint64_t DrivenTime::Frequency = 1000000;
std::time_t DrivenTime::Calendar = 0;

DrivenTime::DrivenTime(uint64_t frequency) {
    Counter = 1000;
    Frequency = frequency;
    Calendar = 1700000000;
    // The counter and the calendar are this object's; swaps, pauses and brightness do nothing,
    // the window is always in sight and no event is waited for. The display does not say its
    // refresh rate; the frame pacer's sleeps move the counter on by their length, and each of
    // its yields by 10 microseconds, so that its waits end.
    Platform = PlatformCalls{[]() -> Uint64 { return Counter; },
                             []() -> Uint64 { return Frequency; },
                             [] { return Calendar; },
                             [](SDL_Window*) {},
                             [](Uint32) {},
                             [](SDL_Window*, float) { return 0; },
                             [](SDL_Window*) -> Uint32 { return 0; },
                             [](SDL_Event*, int) { return 0; },
                             [](SDL_Window*) { return 0; },
                             [](Uint32 milliseconds) { AdvanceMilliseconds(milliseconds); },
                             [] { Counter += std::max<uint64_t>(1, Frequency / 100000); }};
    // The counter starts again, so the pacer's schedule must too.
    ForgetFramePacing();
}

DrivenTime::~DrivenTime() {
    UseRealPlatform();
}

void DrivenTime::AdvanceMilliseconds(double milliseconds) {
    Counter += static_cast<uint64_t>(milliseconds * static_cast<double>(Frequency) / 1000.0);
}

void DrivenTime::SetCalendar(std::time_t seconds) {
    Calendar = seconds;
}
