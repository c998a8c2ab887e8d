#pragma once
#include <SDL.h>

// The desktop can take the game's window out of sight: another window takes the focus, and SDL
// minimises the full-screen game. Nobody can see or steer it then, so the game stands still
// until the window is back.

// True while a window with these SDL flags is out of sight: minimised, hidden, or full screen
// without the keyboard focus once it has had it (a window that has never had the focus is not
// taken to be away: some desktops give a new window the focus late, or not at all).
bool OutOfSight(Uint32 windowFlags, bool focusSeen);

// Every frame loop shows its frame through this. Before the swap it waits, where the driver does
// not, so that frames come no faster than the display refreshes (see FramePacer.h); the wait is
// part of the frame's measured time. After the swap it takes in what the desktop did to the
// window and moves the sound onto a new device when the old one was lost and another opened.
// While the window is out of sight, the game stands still: every clock stopped, the sound paused,
// nothing drawn; it sleeps in SDL's event queue, taking each event into the input records as it
// comes, until the window is back or a quit is requested. Then sound and clocks go on from where
// they stopped, so the next frame has an ordinary frame time.
void ShowFrame();

// Forgets that the window has had the focus, for a new window (and for tests).
void ForgetWindowFocus();

// Set where the desktop can hold the swap back instead of saying that the window is hidden, as
// a Wayland compositor does with a window it does not show: a swap held back for longer than
// StalledSwapMilliseconds then counts as time away, left out of every clock.
extern bool SwapMayStall;
constexpr double StalledSwapMilliseconds = 500.0;
