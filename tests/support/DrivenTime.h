#pragma once
#include <cstdint>

#include "app/Platform.h"

// Replaces the performance counter with one the test moves by hand, at 1 MHz unless told
// otherwise, and the calendar with a fixed time; the frame pacer's own waits move it too.
// Restores the real platform when it ends.
class DrivenTime {
public:
    explicit DrivenTime(uint64_t frequency = 1000000);
    ~DrivenTime();

    static void AdvanceMilliseconds(double milliseconds);
    void SetCalendar(std::time_t seconds);

    static uint64_t Counter;
    static uint64_t Frequency;
    static std::time_t Calendar;
};
