#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <tuple>
#include <utility>

#include "app/Desktop.h"
#include "app/QuitRequest.h"

namespace {

struct Shape {
    int width, height;
    ViewportRect expected;
};

}  // namespace

TEST(ScreenShape, TheLargestCentredFourByThreeRectangleWithBarsOnTheLongSides) {
    const Shape shapes[] = {
        {1024, 768, {0, 0, 1024, 768}},  // 4:3 is used whole
        {800, 600, {0, 0, 800, 600}},
        {1920, 1080, {240, 0, 1440, 1080}},  // 16:9: pillar-box
        {2560, 1080, {560, 0, 1440, 1080}},  // 64:27
        {1365, 768, {170, 0, 1024, 768}},    // an odd bar: the spare pixel goes right
        {1280, 1024, {0, 32, 1280, 960}},    // 5:4: letter-box
        {1000, 1001, {0, 125, 1000, 750}},
        {INT_MAX, 3, {(INT_MAX - 4) / 2, 0, 4, 3}},  // no product overflows
        {0, 768, {0, 0, 0, 0}},                      // no window, no picture
        {1024, -1, {0, 0, 0, 0}},
    };
    for (const Shape& shape : shapes) {
        ViewportRect got = CentredFourByThree(shape.width, shape.height);
        const ViewportRect& want = shape.expected;
        EXPECT_EQ(std::tie(got.x, got.y, got.width, got.height),
                  std::tie(want.x, want.y, want.width, want.height))
            << shape.width << "x" << shape.height;
    }
}

// SDL falls back to a driver that shows nothing when no display opens; only a player who named it
// in SDL_VIDEODRIVER gets it.
TEST(VideoDriver, OnlyADriverThatShowsNothingAndWasNotAskedForRunsUnseen) {
    EXPECT_FALSE(RunsUnseen("x11", nullptr));
    EXPECT_FALSE(RunsUnseen("wayland", ""));
    EXPECT_FALSE(RunsUnseen(nullptr, nullptr));
    EXPECT_TRUE(RunsUnseen("offscreen", nullptr));
    EXPECT_TRUE(RunsUnseen("dummy", ""));
    EXPECT_TRUE(RunsUnseen("offscreen", "x11,wayland"));
    EXPECT_TRUE(RunsUnseen("dummy", "dumm"));
    EXPECT_FALSE(RunsUnseen("offscreen", "OFFSCREEN"));
    EXPECT_FALSE(RunsUnseen("dummy", "x11,dummy"));
    EXPECT_FALSE(RunsUnseen("dummy", "dummy,"));
}

// SIGTERM, SIGHUP and SIGINT become a quit request once; a second one of any of them ends the
// program as it would without the game's handlers, except the other half of a logout: a SIGTERM
// and a SIGHUP within half a second, in either order (a stopped program gets them lowest number
// first). So does a signal after the handlers are released. A signal the program was started
// with ignored stays ignored. Each case runs in a child process of its own.
TEST(QuitSignals, EachIsARequestOnceThenEndsTheProgramAndAnIgnoredOneStaysIgnored) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Pair {
        int first, second;
        bool oneRequest;
        int gapMilliseconds;
    };
    const Pair pairs[] = {
        {SIGTERM, SIGHUP, true, 0},    {SIGHUP, SIGTERM, true, 0},   {SIGTERM, SIGHUP, false, 600},
        {SIGHUP, SIGTERM, false, 600}, {SIGINT, SIGINT, false, 0},   {SIGINT, SIGHUP, false, 0},
        {SIGHUP, SIGHUP, false, 0},    {SIGTERM, SIGTERM, false, 0}, {SIGTERM, SIGINT, false, 0}};
    for (const Pair& pair : pairs) {
        auto child = [&pair] {
            CatchQuitSignals();
            std::raise(pair.first);
            if (!QuitRequested()) {
                std::exit(1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(pair.gapMilliseconds));
            std::raise(pair.second);
            std::exit(QuitRequested() ? 0 : 2);
        };
        if (pair.oneRequest) {
            EXPECT_EXIT(child(), testing::ExitedWithCode(0), "")
                << pair.first << " then " << pair.second;
        } else {
            EXPECT_EXIT(child(), testing::KilledBySignal(pair.second), "")
                << pair.first << " then " << pair.second << " " << pair.gapMilliseconds
                << " ms later";
        }
    }
    EXPECT_EXIT(
        {
            CatchQuitSignals();
            ReleaseQuitSignals();
            std::raise(SIGTERM);
            std::exit(2);
        },
        testing::KilledBySignal(SIGTERM), "");
    EXPECT_EXIT(
        {
            std::signal(SIGHUP, SIG_IGN);  // as nohup starts it
            CatchQuitSignals();
            std::raise(SIGHUP);
            std::exit(QuitRequested() ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_FALSE(QuitRequested()) << "the children's requests stay theirs";
}
