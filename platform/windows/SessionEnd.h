#pragma once
#include "platform/windows/Text.h"

// Makes a window take the session's end (logoff, shutdown): its WM_ENDSESSION sets the quit
// request and calls save, once, before it returns, since Windows may end the process as soon as
// it has. Every other message goes on to the window's own procedure. False when the window's
// procedure cannot be replaced. One window at a time; Stop puts its own procedure back.
bool WatchSessionEnd(HWND window, void (*save)());
void StopWatchingSessionEnd();
