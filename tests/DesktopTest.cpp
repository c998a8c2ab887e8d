#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <tuple>

#include "app/Desktop.h"
#include "platform/System.h"

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

// SIGTERM, SIGHUP and SIGINT become a quit request once; a second one of any of them ends the
// program as it would without the game's handlers, unless it is the other half of a logout (a
// SIGTERM and a SIGHUP within half a second, which the quit scenario sends). So does a signal
// after the handlers are released. A signal the program was started with ignored stays ignored.
// Each case runs in a child process of its own.
TEST(QuitSignals, EachIsARequestOnceThenEndsTheProgramAndAnIgnoredOneStaysIgnored) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The first signal, the second and the milliseconds between them.
    const std::tuple<int, int, int> pairs[] = {{SIGTERM, SIGHUP, 600}, {SIGINT, SIGINT, 0},
                                               {SIGINT, SIGHUP, 0},    {SIGHUP, SIGHUP, 0},
                                               {SIGTERM, SIGTERM, 0},  {SIGTERM, SIGINT, 0}};
    for (auto [first, second, gap] : pairs) {
        auto child = [first = first, second = second, gap = gap] {
            CatchQuitRequests();
            std::raise(first);
            if (!QuitRequested()) {
                std::exit(1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(gap));
            std::raise(second);
            std::exit(2);
        };
        EXPECT_EXIT(child(), testing::KilledBySignal(second), "")
            << first << " then " << second << " " << gap << " ms later";
    }
    EXPECT_EXIT(
        {
            CatchQuitRequests();
            ReleaseQuitRequests();
            std::raise(SIGTERM);
            std::exit(2);
        },
        testing::KilledBySignal(SIGTERM), "");
    EXPECT_EXIT(
        {
            std::signal(SIGHUP, SIG_IGN);  // as nohup starts it
            CatchQuitRequests();
            std::raise(SIGHUP);
            std::exit(QuitRequested() ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_FALSE(QuitRequested()) << "the children's requests stay theirs";
}
