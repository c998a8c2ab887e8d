#include "app/QuitRequest.h"

#include <atomic>
#include <csignal>

namespace {

// A signal may arrive on any thread; a lock-free atomic is safe to set from its handler.
std::atomic<bool> QuitFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr int QuitSignals[] = {SIGTERM, SIGINT};
struct sigaction PreviousActions[2];
bool Caught[2] = {false, false};

void RaiseQuitFlag(int) {
    QuitFlag.store(true);
}

}  // namespace

void CatchQuitSignals() {
    for (int i = 0; i < 2; ++i) {
        struct sigaction previous {};
        if (sigaction(QuitSignals[i], nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RaiseQuitFlag;
        sigemptyset(&action.sa_mask);
        // Interrupted reads and waits go on; the second signal finds the default action back.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        if (sigaction(QuitSignals[i], &action, &PreviousActions[i]) == 0) {
            Caught[i] = true;
        }
    }
}

void ReleaseQuitSignals() {
    for (int i = 0; i < 2; ++i) {
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
}
