#pragma once
#include "platform/windows/Text.h"

// Makes a window take the session's end (logoff, shutdown): its WM_ENDSESSION sets the quit
// request, calls save and then end, once: Windows ends the process as soon as the message has
// been answered, at any point of the game's own unwinding, so the game ends itself there, with
// everything saved and a clean status. Every other message goes on to the window's own
// procedure. False when the window's procedure cannot be replaced. One window at a time; Stop
// puts its own procedure back.
bool WatchSessionEnd(HWND window, void (*save)(), void (*end)());
void StopWatchingSessionEnd();
