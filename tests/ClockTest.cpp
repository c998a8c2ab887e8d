#include <gtest/gtest.h>

#include <memory>

#include "app/Clock.h"
#include "tests/support/DrivenTime.h"

TEST(Clock, CountsTimeOnlyAtReadsAddsThemUpAndRestartsFromZero) {
    DrivenTime time;
    std::unique_ptr<Clock> clock(CreateClock());
    time.AdvanceMilliseconds(250);
    EXPECT_EQ(ElapsedMilliseconds(clock.get()), 0.0f) << "nothing counts before a read";
    ReadClock(clock.get());
    EXPECT_FLOAT_EQ(ElapsedSeconds(clock.get()), 0.25f);
    time.AdvanceMilliseconds(1750);
    ReadClock(clock.get());
    EXPECT_FLOAT_EQ(ElapsedSeconds(clock.get()), 2.0f) << "reads accumulate";

    RestartClock(clock.get());
    EXPECT_EQ(ElapsedMilliseconds(clock.get()), 0.0f);
    time.AdvanceMilliseconds(40);
    ReadClock(clock.get());
    EXPECT_FLOAT_EQ(ElapsedMilliseconds(clock.get()), 40.0f);
}

TEST(Clock, ACounterWrapStillGivesTheForwardInterval) {
    DrivenTime time;
    DrivenTime::Counter = UINT64_MAX - 499;
    std::unique_ptr<Clock> clock(CreateClock());
    DrivenTime::Counter = 500;  // 1000 ticks later, past the wrap
    ReadClock(clock.get());
    EXPECT_FLOAT_EQ(ElapsedMilliseconds(clock.get()), 1.0f);
}

TEST(Clock, ElapsedTimeIsDividedInSinglePrecision) {
    // 1 GHz, as SDL reports on Linux. In single precision 333333359 ticks are 333333344, which
    // gives 333.33334 ms; dividing in double precision would round to 333.33337 instead.
    DrivenTime time(1000000000);
    std::unique_ptr<Clock> clock(CreateClock());
    DrivenTime::Counter += 333333359;
    ReadClock(clock.get());
    EXPECT_EQ(ElapsedMilliseconds(clock.get()), 333.33334f);
}

TEST(Clock, ACounterSlowerThanOneKilohertzCountsATickAMillisecond) {
    DrivenTime time(100);
    std::unique_ptr<Clock> clock(CreateClock());
    DrivenTime::Counter += 50;
    ReadClock(clock.get());
    EXPECT_EQ(ElapsedMilliseconds(clock.get()), 50.0f) << "a timed screen must be able to end";
}
