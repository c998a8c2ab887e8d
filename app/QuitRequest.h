#pragma once

// A request from outside to end the program: SIGTERM (what a desktop sends at logout or
// shutdown), SIGHUP (what a closed terminal sends, and a logout together with SIGTERM) or SIGINT
// (Ctrl-C in a terminal). The handlers only record the request. Every frame loop looks at it where
// it decides whether to go on, so the program leaves the screen it is in and unwinds through its
// ordinary release, save and teardown. The window's close button is not such a request: it
// stays ignored.

// Catches SIGTERM, SIGHUP and SIGINT from now on. A signal that the program was started with
// ignored stays ignored. A second signal of any of the three ends the program at once, as it
// would without these handlers, in case the first one could not end it; only a SIGTERM and a
// SIGHUP within half a second of each other, in either order, are one request, since that is
// how a session is stopped at logout. The handler is async-signal-safe: it uses lock-free
// atomics and clock_gettime only.
void CatchQuitSignals();

// Puts back what the three signals did before CatchQuitSignals.
void ReleaseQuitSignals();

// True once a quit was requested.
bool QuitRequested();

// Forgets a request, so that tests can run one scenario after another.
void ClearQuitRequest();
