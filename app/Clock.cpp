#include "app/Clock.h"

#include "app/Platform.h"

Clock* GlobalClock = nullptr;

namespace {

// The counter ticks that the clocks leave out, and where the counter stood when they stopped.
uint64_t LeftOutTicks = 0;
bool Stopped = false;
uint64_t StoppedAt = 0;

// The performance counter less the time the clocks stood still; every clock reads this.
uint64_t ClockCounter() {
    return (Stopped ? StoppedAt : Platform.performanceCounter()) - LeftOutTicks;
}

// A counter slower than 1 kHz would give no whole tick per millisecond; counting each of its
// ticks as a millisecond keeps every timed screen finite instead of dividing by zero.
uint64_t TicksPerMillisecond() {
    uint64_t ticks = Platform.performanceFrequency() / 1000;
    return ticks == 0 ? 1 : ticks;
}

void StartClock(Clock* clock) {
    if (clock->running == 0) {
        clock->running = 1;
        clock->lastCounter = ClockCounter();
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
        uint64_t now = ClockCounter();
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

void StopAllClocks() {
    if (!Stopped) {
        StoppedAt = Platform.performanceCounter();
        Stopped = true;
    }
}

void StartAllClocks() {
    if (Stopped) {
        LeftOutTicks += Platform.performanceCounter() - StoppedAt;
        Stopped = false;
    }
}

void LeaveOutOfClocks(uint64_t ticks) {
    LeftOutTicks += ticks;
}
