#pragma once

// No frame loop shows frames faster than the display it is on refreshes. The game asks the
// driver for vertical sync, but a driver may refuse it, or grant it and not hold the swaps back
// (some drivers and compositors, a driver setting, a virtual X server): a menu that costs well
// under a millisecond would then draw thousands of frames a second that no monitor shows.

// Called by ShowFrame right before each swap. While the driver holds the swaps to the refresh
// itself, it returns at once. Once frames have come clearly faster than the refresh without any
// wait of its own, it keeps the swaps on an even schedule one refresh period apart: it sleeps
// most of the way to the next frame's time and yields for the rest. A frame that comes late
// starts the schedule afresh, so the frames after a hitch never hurry to catch up. Every frame
// loop measures its time step on the clocks as before, so the wait is simply part of a frame.
void PaceFrame();

// Forgets what was learnt of the driver and the schedule, as for a new window (and for tests).
void ForgetFramePacing();

// The refresh rate taken when the display does not say.
constexpr int UnknownRefreshRate = 60;
