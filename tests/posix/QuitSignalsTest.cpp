#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <tuple>

#include "platform/System.h"

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
