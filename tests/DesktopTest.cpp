#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "app/Desktop.h"

// The common desktop shapes are the screen shape scenario's; these are the odd ones.
TEST(ScreenShape, TheLargestCentredFourByThreeRectangleWithBarsOnTheLongSides) {
    const struct {
        int width, height;
        ViewportRect expected;
    } shapes[] = {
        {1365, 768, {170, 0, 1024, 768}},            // an odd bar: the spare pixel goes right
        {1000, 1001, {0, 125, 1000, 750}},           // and down
        {INT_MAX, 3, {(INT_MAX - 4) / 2, 0, 4, 3}},  // no product overflows
        {0, 768, {0, 0, 0, 0}},                      // no window, no picture
        {1024, -1, {0, 0, 0, 0}},
    };
    for (const auto& shape : shapes) {
        ViewportRect got = CentredFourByThree(shape.width, shape.height);
        const ViewportRect& want = shape.expected;
        EXPECT_EQ(std::tie(got.x, got.y, got.width, got.height),
                  std::tie(want.x, want.y, want.width, want.height))
            << shape.width << "x" << shape.height;
    }
}

// SDL falls back to a driver that shows nothing when no display opens; only a player who named it
// in SDL_VIDEODRIVER gets it. A desktop's driver, and the fallback nobody asked for, are the
// scenarios' (every one runs on a desktop; the one without a display must stop).
TEST(VideoDriver, OnlyADriverThatShowsNothingAndWasNotAskedForRunsUnseen) {
    EXPECT_FALSE(RunsUnseen(nullptr, nullptr));
    EXPECT_TRUE(RunsUnseen("offscreen", "x11,wayland"));
    EXPECT_TRUE(RunsUnseen("dummy", "dumm"));
    EXPECT_FALSE(RunsUnseen("offscreen", "OFFSCREEN"));
    EXPECT_FALSE(RunsUnseen("dummy", "x11,dummy"));
    EXPECT_FALSE(RunsUnseen("dummy", "dummy,"));
}
