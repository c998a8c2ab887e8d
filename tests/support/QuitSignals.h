#pragma once
#include "platform/System.h"

// SIGTERM and SIGINT caught as the game catches them, for one test: a test raises one (each is
// caught once) and the screens see the quit request. Puts the signals back and forgets the
// request afterwards.
class QuitSignalsCaught {
public:
    QuitSignalsCaught() {
        ClearQuitRequest();
        CatchQuitRequests();
    }
    ~QuitSignalsCaught() {
        ReleaseQuitRequests();
        ClearQuitRequest();
    }
    QuitSignalsCaught(const QuitSignalsCaught&) = delete;
    QuitSignalsCaught& operator=(const QuitSignalsCaught&) = delete;
};
