#include "app/QuitRequest.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <ctime>

namespace {

// A signal may arrive on any thread; lock-free atomics are safe to use from its handler.
std::atomic<bool> QuitFlag{false};
std::atomic<int> FirstSignal{0};
std::atomic<int64_t> FirstSignalAt{0};  // monotonic nanoseconds
static_assert(std::atomic<bool>::is_always_lock_free);
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<int64_t>::is_always_lock_free);

constexpr int QuitSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int QuitSignalCount = 3;
constexpr int64_t LogoutHangUpNanoseconds = 500'000'000;
struct sigaction PreviousActions[QuitSignalCount];
bool Caught[QuitSignalCount] = {false, false, false};

// clock_gettime may be called from a signal handler.
int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void OnQuitSignal(int signal) {
    const int64_t now = MonotonicNanoseconds();
    bool expected = false;
    if (QuitFlag.compare_exchange_strong(expected, true)) {
        FirstSignal.store(signal);
        FirstSignalAt.store(now);
        return;
    }
    if (signal == SIGHUP && FirstSignal.load() == SIGTERM &&
        now - FirstSignalAt.load() < LogoutHangUpNanoseconds) {
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

void CatchQuitSignals() {
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

void ReleaseQuitSignals() {
    for (int i = 0; i < QuitSignalCount; ++i) {
        if (Caught[i]) {
            sigaction(QuitSignals[i], &PreviousActions[i], nullptr);
            Caught[i] = false;
        }
    }
}

bool QuitRequested() {
    return QuitFlag.load();
}

void ClearQuitRequest() {
    QuitFlag.store(false);
    FirstSignal.store(0);
}
