#include "app/FramePacer.h"

#include <algorithm>

#include "app/Platform.h"
#include "app/Program.h"

namespace {

// A frame that comes less than this share of a refresh period after the one before, without any
// wait of ours, came faster than the display shows frames.
constexpr double ShortFrameShare = 0.97;
// So many such frames in a row show that the driver does not hold the swaps to the refresh. One
// that does may still let two or three frames through at once while its queue of frames fills,
// or after a hitch, but never a long run of them.
constexpr int ShortFramesToPace = 10;
// A frame that comes more than this share of a period after its time is late: the schedule
// starts afresh from it. One that comes a little after its time (a sleep or a yield that ended
// late) keeps the schedule, so that the frames do not drift.
constexpr double LateShare = 0.125;
// The end of a wait, in milliseconds, is spent yielding and watching the counter: a sleep ends
// a little after it was asked to, by a varying amount, up to half a millisecond on a 1 ms sleep.
constexpr double SpinMilliseconds = 1.5;

// What the pacer knows of the driver and where its schedule stands, in counter ticks.
struct PacerRecord {
    bool started = false;    // a frame has been shown since the last ForgetFramePacing
    bool pacing = false;     // frames were seen to come faster than the refresh by themselves
    int shortFrames = 0;     // short frames in a row, while not pacing
    double lastShown = 0.0;  // when the previous frame was shown, while not pacing
    double due = 0.0;        // when the next frame is due, while pacing
};

PacerRecord Pacer;

// The refresh period of the window's display in counter ticks. The display is asked each frame
// (SDL answers from what it knows, without asking the desktop), so a window moved to another
// display is paced at that display's rate.
double RefreshPeriodTicks() {
    const int reported = Platform.refreshRate(MainWindow);
    const int rate = reported > 0 ? reported : UnknownRefreshRate;
    return static_cast<double>(Platform.performanceFrequency()) / rate;
}

// Waits until the counter reaches `due`: sleeps while more than SpinMilliseconds are left, then
// yields, so that the wait ends on time without a sleep's overshoot.
void WaitUntil(double due) {
    const double ticksPerMillisecond =
        static_cast<double>(Platform.performanceFrequency()) / 1000.0;
    for (;;) {
        const double left =
            (due - static_cast<double>(Platform.performanceCounter())) / ticksPerMillisecond;
        if (left <= 0.0) {
            return;
        }
        if (left > SpinMilliseconds) {
            Platform.sleep(std::max<Uint32>(1, static_cast<Uint32>(left - SpinMilliseconds)));
        } else {
            Platform.yield();
        }
    }
}

// Counts the frames that come short of a period after the one before; a long enough run of them
// starts the schedule, with the next frame due one period after the last one shown. The pacer
// then keeps to it: whether the driver syncs does not change with what a screen draws, and frames
// slower than the refresh come late and are never held back anyway.
void WatchDriver(double now, double period) {
    const bool shortFrame = Pacer.started && now - Pacer.lastShown < period * ShortFrameShare;
    Pacer.shortFrames = shortFrame ? Pacer.shortFrames + 1 : 0;
    Pacer.pacing = Pacer.shortFrames >= ShortFramesToPace;
    Pacer.due = Pacer.lastShown + period;
    Pacer.started = true;
    Pacer.lastShown = now;
}

}  // namespace

void PaceFrame() {
    const double period = RefreshPeriodTicks();
    const double now = static_cast<double>(Platform.performanceCounter());
    if (!Pacer.pacing) {
        WatchDriver(now, period);
        if (!Pacer.pacing) {
            return;
        }
    }
    if (now > Pacer.due + period * LateShare) {
        Pacer.due = now;
    } else {
        WaitUntil(Pacer.due);
    }
    Pacer.due += period;
}

void ForgetFramePacing() {
    Pacer = PacerRecord{};
}
