// Quit requests on Windows: the window closed (its close button, Alt+F4, a task manager or
// `taskkill` closing it), which SDL reports as SDL_QUIT, and the session ending. A logoff or a
// shutdown sends the window WM_QUERYENDSESSION and then WM_ENDSESSION, and ends the process as
// soon as the second one has been answered: the game's loops never run again, so what must be
// kept is saved while that message is handled, and the game then ends at once with status 0
// rather than be cut off somewhere in its unwinding. SDL hands both messages to DefWindowProc
// and never reports them, so the game's window is subclassed to see them first.
#include <SDL.h>
#include <SDL_syswm.h>

#include <atomic>

#include "platform/System.h"
#include "platform/windows/SessionEnd.h"

namespace {

std::atomic<bool> Requested{false};

HWND WatchedWindow = nullptr;
WNDPROC WindowsOwnProcedure = nullptr;
void (*SaveAtSessionEnd)() = nullptr;
void (*EndAtSessionEnd)() = nullptr;
bool SavedAtSessionEnd = false;

// Everything is saved: the process ends here, without running any library's teardown, as
// Windows itself would end it a moment later.
void EndProcessNow() {
    TerminateProcess(GetCurrentProcess(), 0);
}

LRESULT CALLBACK SessionEndProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_QUERYENDSESSION:
            // Another program may still refuse the end; only WM_ENDSESSION says it comes.
            return TRUE;
        case WM_ENDSESSION:
            if (wParam != FALSE) {
                Requested.store(true);
                if (SaveAtSessionEnd != nullptr && !SavedAtSessionEnd) {
                    SavedAtSessionEnd = true;
                    SaveAtSessionEnd();
                    EndAtSessionEnd();
                }
            }
            return 0;
        default:
            return CallWindowProcW(WindowsOwnProcedure, window, message, wParam, lParam);
    }
}

}  // namespace

bool WatchSessionEnd(HWND window, void (*save)(), void (*end)()) {
    StopWatchingSessionEnd();
    SetLastError(ERROR_SUCCESS);
    LONG_PTR previous =
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SessionEndProcedure));
    if (previous == 0 && GetLastError() != ERROR_SUCCESS) {
        return false;
    }
    WatchedWindow = window;
    WindowsOwnProcedure = reinterpret_cast<WNDPROC>(previous);
    SaveAtSessionEnd = save;
    EndAtSessionEnd = end;
    SavedAtSessionEnd = false;
    return true;
}

void StopWatchingSessionEnd() {
    if (WatchedWindow != nullptr && IsWindow(WatchedWindow)) {
        SetWindowLongPtrW(WatchedWindow, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(WindowsOwnProcedure));
    }
    WatchedWindow = nullptr;
    WindowsOwnProcedure = nullptr;
    SaveAtSessionEnd = nullptr;
}

void SaveWhenSessionEnds(SDL_Window* window, void (*save)()) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window != nullptr && SDL_GetWindowWMInfo(window, &info) &&
        info.subsystem == SDL_SYSWM_WINDOWS) {
        WatchSessionEnd(info.info.win.window, save, EndProcessNow);
    }
}

void CatchQuitRequests() {}

void ReleaseQuitRequests() {
    StopWatchingSessionEnd();
}

void WindowCloseRequested() {
    Requested.store(true);
}

bool QuitRequested() {
    return Requested.load();
}

void ClearQuitRequest() {
    Requested.store(false);
}
