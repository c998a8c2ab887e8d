// Quit requests on POSIX systems: SIGTERM (what a desktop sends at logout or shutdown), SIGHUP
// (what a closed terminal sends, and a logout together with SIGTERM) and SIGINT (Ctrl-C in a
// terminal). The handlers only record the request. A signal that the program was started with
// ignored stays ignored. A second signal of any of the three ends the program at once, as it
// would without these handlers, in case the first one could not end it; only a SIGTERM and a
// SIGHUP within half a second of each other, in either order, are one request, since that is
// how a session is stopped at logout. The handler is async-signal-safe: it uses lock-free
// atomics and clock_gettime only. The window's close button is no quit request here: the game
// ignores it, as it always has on these desktops.
#include "platform/System.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <ctime>

namespace {

// The request in one word, so that a handler running on two threads at once (any thread may take
// a signal) sees either no request or a whole one: the first signal's number in the low byte and
// its monotonic time in microseconds above it; 0 while there is none. One compare-and-swap sets
// it, and only the signal that sets it is the request.
std::atomic<uint64_t> Request{0};
static_assert(std::atomic<uint64_t>::is_always_lock_free);

constexpr int QuitSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int QuitSignalCount = 3;
constexpr int64_t LogoutPairMicroseconds = 500'000;
struct sigaction PreviousActions[QuitSignalCount];
bool Caught[QuitSignalCount] = {false, false, false};

// clock_gettime may be called from a signal handler.
uint64_t MonotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1'000'000 +
           static_cast<uint64_t>(now.tv_nsec) / 1000;
}

// A logout sends SIGTERM and SIGHUP together; a busy machine may deliver them in either order,
// since of several pending signals the lowest-numbered comes first.
bool IsLogoutPair(int first, int second) {
    return (first == SIGTERM && second == SIGHUP) || (first == SIGHUP && second == SIGTERM);
}

void OnQuitSignal(int signal) {
    const uint64_t now = MonotonicMicroseconds();
    uint64_t first = 0;
    if (Request.compare_exchange_strong(first, now << 8 | static_cast<uint64_t>(signal))) {
        return;
    }
    // On two threads the later signal may have read the clock first: the gap counts either way.
    const int64_t gap = static_cast<int64_t>(now - (first >> 8));
    if (IsLogoutPair(static_cast<int>(first & 0xff), signal) && gap < LogoutPairMicroseconds &&
        -gap < LogoutPairMicroseconds) {
        return;
    }
    // A second request: the default action, which ends the program, once this handler returns
    // and the signal is no longer blocked.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

}  // namespace

void CatchQuitRequests() {
    for (int i = 0; i < QuitSignalCount; ++i) {
        struct sigaction previous {};
        if (sigaction(QuitSignals[i], nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = OnQuitSignal;
        sigemptyset(&action.sa_mask);
        // Interrupted reads and waits go on.
        action.sa_flags = SA_RESTART;
        if (sigaction(QuitSignals[i], &action, &PreviousActions[i]) == 0) {
            Caught[i] = true;
        }
    }
}

void ReleaseQuitRequests() {
    for (int i = 0; i < QuitSignalCount; ++i) {
        if (Caught[i]) {
            sigaction(QuitSignals[i], &PreviousActions[i], nullptr);
            Caught[i] = false;
        }
    }
}

void WindowCloseRequested() {}

// SIGTERM and SIGHUP end a session here, and the loops save as they unwind.
void SaveWhenSessionEnds(SDL_Window*, void (*)()) {}

bool QuitRequested() {
    return Request.load() != 0;
}

void ClearQuitRequest() {
    Request.store(0);
}
