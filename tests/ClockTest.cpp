#include <gtest/gtest.h>

#include <memory>

#include "app/Clock.h"
#include "tests/support/DrivenTime.h"

// Reads adding up and restarts are every timed screen's and the level's. Here: a wrap of the
// counter; 1 GHz, as SDL reports on Linux, where 333333359 ticks are 333333344
// in single precision and give 333.33334 ms (double precision would round to 333.33337); and a
// counter slower than 1 kHz, which must still let a timed screen end.
TEST(Clock, WrapsDividesInSinglePrecisionAndCountsATickAMillisecondBelowOneKilohertz) {
    struct Case {
        uint64_t frequency, start, ticks;
        float milliseconds;
    };
    for (Case c : {Case{1000000, UINT64_MAX - 499, 1000, 1.0f},
                   Case{1000000000, 1000, 333333359, 333.33334f}, Case{100, 1000, 50, 50.0f}}) {
        DrivenTime time(c.frequency);
        DrivenTime::Counter = c.start;
        std::unique_ptr<Clock> clock(CreateClock());
        DrivenTime::Counter += c.ticks;
        ReadClock(clock.get());
        EXPECT_EQ(ElapsedMilliseconds(clock.get()), c.milliseconds) << c.frequency << " Hz";
    }
}
