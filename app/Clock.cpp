#include "app/Clock.h"

#include "app/Platform.h"

Clock* GlobalClock = nullptr;

namespace {

// A counter slower than 1 kHz would give no whole tick per millisecond; counting each of its
// ticks as a millisecond keeps every timed screen finite instead of dividing by zero.
uint64_t TicksPerMillisecond() {
    uint64_t ticks = Platform.performanceFrequency() / 1000;
    return ticks == 0 ? 1 : ticks;
}

void StartClock(Clock* clock) {
    if (clock->running == 0) {
        clock->running = 1;
        clock->lastCounter = Platform.performanceCounter();
    }
}

}  // namespace

Clock* CreateClock() {
    Clock* clock = new Clock;
    clock->ticksPerMillisecond = TicksPerMillisecond();
    StartClock(clock);
    return clock;
}

void RestartClock(Clock* clock) {
    *clock = Clock{};
    clock->ticksPerMillisecond = TicksPerMillisecond();
    StartClock(clock);
}

void ReadClock(Clock* clock) {
    if (clock->running != 0) {
        uint64_t now = Platform.performanceCounter();
        clock->accumulated += now - clock->lastCounter;
        clock->lastCounter = now;
    }
}

float ElapsedMilliseconds(const Clock* clock) {
    float ticks = static_cast<float>(static_cast<double>(clock->accumulated));
    float perMillisecond = static_cast<float>(static_cast<double>(clock->ticksPerMillisecond));
    return ticks / perMillisecond;
}

float ElapsedSeconds(const Clock* clock) {
    return ElapsedMilliseconds(clock) / 1000.0f;
}
