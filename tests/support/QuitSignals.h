#pragma once
#include "app/QuitRequest.h"

// SIGTERM and SIGINT caught as the game catches them, for one test: a test raises one (each is
// caught once) and the screens see the quit request. Puts the signals back and forgets the
// request afterwards.
class QuitSignalsCaught {
public:
    QuitSignalsCaught() {
        ClearQuitRequest();
        CatchQuitSignals();
    }
    ~QuitSignalsCaught() {
        ReleaseQuitSignals();
        ClearQuitRequest();
    }
    QuitSignalsCaught(const QuitSignalsCaught&) = delete;
    QuitSignalsCaught& operator=(const QuitSignalsCaught&) = delete;
};
