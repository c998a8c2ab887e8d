#include "tests/support/DrivenTime.h"

uint64_t DrivenTime::Counter = 0;
uint64_t DrivenTime::Frequency = 1000000;
std::time_t DrivenTime::Calendar = 0;

namespace {

Uint64 DrivenCounter() {
    return DrivenTime::Counter;
}
Uint64 DrivenFrequency() {
    return DrivenTime::Frequency;
}
std::time_t DrivenCalendar() {
    return DrivenTime::Calendar;
}
void NoSwap(SDL_Window*) {}
void NoDelay(Uint32) {}
int NoBrightness(SDL_Window*, float) {
    return 0;
}

}  // namespace

DrivenTime::DrivenTime(uint64_t frequency) {
    Counter = 1000;
    Frequency = frequency;
    Calendar = 1700000000;
    Platform = PlatformCalls{DrivenCounter, DrivenFrequency, DrivenCalendar,
                             NoSwap,        NoDelay,         NoBrightness};
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
