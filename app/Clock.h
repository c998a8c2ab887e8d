#pragma once
#include <cstdint>

// A stopwatch on the performance counter. Every screen reads one with ReadClock and then
// ElapsedMilliseconds or ElapsedSeconds; nothing runs at a fixed rate.
struct Clock {
    int32_t running = 0;               // 1 once started
    uint64_t ticksPerMillisecond = 0;  // counter frequency / 1000, integer division
    uint64_t lastCounter = 0;          // counter at the start or at the last read
    uint64_t accumulated = 0;          // ticks summed over every read since the start
};

// The clock that lives from start-up to shutdown; screens restart it when they begin.
extern Clock* GlobalClock;

// A new clock, already started. The caller deletes it.
Clock* CreateClock();

// Zeroes the clock and starts it again.
void RestartClock(Clock* clock);

// Folds the time since the last read into the clock's total.
void ReadClock(Clock* clock);

// The total at the last read, in single precision.
float ElapsedMilliseconds(const Clock* clock);
float ElapsedSeconds(const Clock* clock);

// Every clock stands still from StopAllClocks until StartAllClocks: the time between is left out
// of them all, so the game resumes where it stopped, with an ordinary frame time. The game stops
// them while the desktop keeps its window out of sight. A second stop or start changes nothing.
void StopAllClocks();
void StartAllClocks();

// Leaves the given counter ticks out of every clock, as time the game spent away; it must not be
// more than has passed since any clock was last read.
void LeaveOutOfClocks(uint64_t ticks);
