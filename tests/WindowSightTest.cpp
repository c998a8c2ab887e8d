#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/Program.h"
#include "app/WindowSight.h"
#include "audio/AudioDevice.h"
#include "game/LevelLoop.h"
#include "tests/support/GameScene.h"
#include "tests/support/PlayField.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/TestSystem.h"
#include "world/ObjectList.h"
#include "world/ShipObject.h"

namespace {

constexpr Uint32 InSight = SDL_WINDOW_FULLSCREEN | SDL_WINDOW_INPUT_FOCUS | SDL_WINDOW_SHOWN;

TEST(OutOfSight, MinimisedHiddenOrFullScreenWithoutTheFocusItHadOnce) {
    struct Case {
        Uint32 flags;
        bool focusSeen;
        bool away;
    };
    const Case cases[] = {
        {InSight, true, false},
        {InSight | SDL_WINDOW_MINIMIZED, true, true},
        {SDL_WINDOW_HIDDEN, false, true},
        {SDL_WINDOW_FULLSCREEN | SDL_WINDOW_SHOWN, true, true},
        {SDL_WINDOW_FULLSCREEN | SDL_WINDOW_SHOWN, false, false},  // the focus has not come yet
        {SDL_WINDOW_SHOWN, true, false},  // a window beside others stays in sight
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutOfSight(c.flags, c.focusSeen), c.away) << c.flags << " " << c.focusSeen;
    }
}

// A level in play whose window the desktop takes away for ten seconds (each wait in the event
// queue lasting a tenth of a second of driven time).
class AwayFromSight : public ::testing::Test {
protected:
    void SetUp() override {
        Flags = InSight;
        Waits = 0;
        ForgetWindowFocus();
        Platform.windowFlags = [](SDL_Window*) { return Flags; };
        Platform.waitEvent = [](SDL_Event*, int milliseconds) {
            EXPECT_EQ(milliseconds, 100);
            DrivenTime::Counter += DrivenTime::Frequency / 10;
            if (++Waits == WaitsAway) {
                Flags = InSight;
            }
            if (Waits == QuitAtWait) {
                RequestQuit(QuitFrom::Desktop);
            }
            return 0;
        };
        ASSERT_TRUE(OpenAudioDevice());
        ObjectList = new ObjectListRecord;
        ObjectList->clock = GlobalClock;
        ObjectList->AddObject(new UntouchableRock);
        CurrentLevel = 1;
        level.number = 1;
        level.clock.reset(CreateClock());
        std::srand(99);
    }
    void TearDown() override {
        delete ObjectList;
        ObjectList = nullptr;
        CloseAudioDevice();
        ForgetWindowFocus();
        QuitAtWait = -1;
    }

    inline static Uint32 Flags = InSight;
    inline static int Waits = 0;
    inline static int WaitsAway = 100;
    inline static int QuitAtWait = -1;
    GameScene scene;
    Level level;
};

// Nothing moves and nothing is drawn while the window is away; the sound pauses and resumes; the
// first frame back has an ordinary frame time, and play goes on from where it stood.
TEST_F(AwayFromSight, TheLevelStandsStillAndGoesOnWithAnOrdinaryFrame) {
    struct Seen {
        float levelMilliseconds;
        float frameDelta;
        Vec3 ship;
        float shield;
    };
    std::vector<Seen> seen;
    scene.step = [&](int frame) {
        ReadClock(level.clock.get());
        ShipObject* ship = scene.session.ship;
        seen.push_back({ElapsedMilliseconds(level.clock.get()), ObjectList->frameDelta,
                        ship->position, ship->invulnerableTime});
        if (frame == 10) {
            Flags = SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED;
            RecordingAL::ClearCalls();
        }
        if (frame == 30) {
            HoldKey(SDL_SCANCODE_Q);
        }
        if (frame == 11) {
            std::vector<std::string> device;
            for (const std::string& name : RecordingAL::CallNames()) {
                if (name.rfind("alcDevice", 0) == 0) {
                    device.push_back(name);
                }
            }
            EXPECT_EQ(device,
                      (std::vector<std::string>{"alcDevicePauseSOFT", "alcDeviceResumeSOFT"}));
        }
    };
    HoldKey(SDL_SCANCODE_UP);  // thrust: the ship moves each frame
    EXPECT_FALSE(PlayLevel(level));
    ASSERT_GT(seen.size(), 30u);
    EXPECT_EQ(Waits, WaitsAway);
    EXPECT_EQ(scene.driver.framesShown, static_cast<int>(seen.size())) << "no frame while away";
    // Frame 11 is the first after the return: it advanced by one frame, not by ten seconds.
    EXPECT_NEAR(seen[11].levelMilliseconds - seen[10].levelMilliseconds, 20.0f, 0.01f);
    EXPECT_NEAR(seen[11].frameDelta, 0.02f, 1e-4f);
    EXPECT_NEAR(seen[11].shield, seen[10].shield - 20.0f, 0.01f) << "the shield's countdown";
    const float step10 = seen[10].ship.y - seen[9].ship.y;
    const float step11 = seen[11].ship.y - seen[10].ship.y;
    EXPECT_GT(step10, 0.0f);
    EXPECT_NEAR(step11, step10, std::abs(step10)) << "the ship went on by one frame's flight";
}

// A quit request ends the wait at once, and the level with it.
TEST_F(AwayFromSight, AQuitRequestEndsTheWaitAtOnce) {
    QuitRequestsCaught requests;
    QuitAtWait = 3;
    scene.step = [&](int frame) {
        if (frame == 2) {
            Flags = SDL_WINDOW_HIDDEN;
        }
    };
    EXPECT_FALSE(PlayLevel(level));
    EXPECT_EQ(Waits, 3);
    EXPECT_EQ(scene.driver.framesShown, 3);
}

// A frame loop of its own, shown through ShowFrame on a display that reports `reported` Hz:
// after each swap the loop works for `workMs` (`hitchMs` after frame `hitchFrame`). A driver
// that syncs (`syncedHz` > 0) holds each swap until the display's next refresh, but for the
// first `queued`, which fill its queue. Every sleep of the pacer ends 0.3 ms late, as the
// system's do.
struct PacedLoop {
    int reported;
    double syncedHz;
    int queued;
    double workMs;
    int hitchFrame;
    double hitchMs;
};

struct PacedRun {
    std::vector<double> shownMs;  // driven time at each swap
    int pacerWaits = 0;           // the pacer's sleeps and yields
};

PacedLoop Loop;
PacedRun Run;

PacedRun RunPacedLoop(const PacedLoop& loop, int frames) {
    Loop = loop;
    Run = PacedRun{};
    FrameDriver driver(0.0);
    Platform.refreshRate = [](SDL_Window*) { return Loop.reported; };
    Platform.sleep = [](Uint32 milliseconds) {
        ++Run.pacerWaits;
        DrivenTime::AdvanceMilliseconds(milliseconds + 0.3);
    };
    Platform.yield = [] {
        ++Run.pacerWaits;
        DrivenTime::Counter += 10;
    };
    driver.afterSwap = [](int frame) {
        if (Loop.syncedHz > 0 && frame >= Loop.queued) {
            const double refresh = static_cast<double>(DrivenTime::Frequency) / Loop.syncedHz;
            DrivenTime::Counter = static_cast<uint64_t>(
                std::ceil(std::ceil(static_cast<double>(DrivenTime::Counter) / refresh) * refresh));
        }
        Run.shownMs.push_back(static_cast<double>(DrivenTime::Counter) * 1000.0 /
                              static_cast<double>(DrivenTime::Frequency));
        DrivenTime::AdvanceMilliseconds(frame == Loop.hitchFrame ? Loop.hitchMs : Loop.workMs);
    };
    for (int frame = 0; frame < frames; ++frame) {
        ShowFrame();
    }
    return Run;
}

// Frames come no faster than the display refreshes, evenly and without drift: never held back
// where the driver syncs or the loop is slow anyway, held to the refresh period once they come
// faster by themselves, and never hurried to catch up after a hitch.
TEST(FramePacing, FramesComeAtMostAtTheRefreshRateEvenlyAndWithoutDrift) {
    const struct {
        const char* what;
        PacedLoop loop;
        bool paced;
        double intervalMs;
    } cases[] = {
        {"a driver that syncs", {60, 59.94, 3, 2.0, -1, 0.0}, false, 1000.0 / 59.94},
        {"no sync at 60 Hz", {60, 0.0, 0, 0.5, -1, 0.0}, true, 1000.0 / 60},
        {"no sync at 144 Hz", {144, 0.0, 0, 0.5, -1, 0.0}, true, 1000.0 / 144},
        {"no sync, the display does not say", {0, 0.0, 0, 0.5, -1, 0.0}, true, 1000.0 / 60},
        {"no sync, a loop slower than that", {60, 0.0, 0, 25.0, -1, 0.0}, false, 25.0},
        {"no sync, a hitch of 25 ms", {60, 0.0, 0, 0.5, 40, 25.0}, true, 1000.0 / 60},
    };
    for (const auto& c : cases) {
        const PacedRun run = RunPacedLoop(c.loop, 600);
        EXPECT_EQ(run.pacerWaits > 0, c.paced) << c.what;
        // The first dozen frames show whether the driver holds the swaps back.
        double expectedMs = 0.0;
        for (size_t frame = 12; frame < run.shownMs.size(); ++frame) {
            const double interval = run.shownMs[frame] - run.shownMs[frame - 1];
            const bool hitch = static_cast<int>(frame) - 1 == c.loop.hitchFrame;
            const double expected = hitch ? c.loop.hitchMs : c.intervalMs;
            expectedMs += expected;
            ASSERT_NEAR(interval, expected, 0.02) << c.what << ", frame " << frame;
        }
        EXPECT_NEAR(run.shownMs.back() - run.shownMs[11], expectedMs, 0.05) << c.what;
    }
}

// How long a screen lasted, from its first frame to its last, and how many frames it showed.
struct ScreenTime {
    double seconds = 0.0;
    int frames = 0;
};

// A game from level 5 whose frame loops work for `workMs` a frame; Q ends the level at once.
// Gives each screen's time, and every pause of the screens' own in `delays`.
std::map<std::string, ScreenTime> ScreenTimes(double workMs, std::vector<Uint32>& delays) {
    GameScene scene(workMs);
    scene.driver.frameLimit = 30000;  // an unpaced loop would show 25000 frames of credits
    scene.step = [&](int) {
        if (scene.frames.back().screen == "level") {
            HoldKey(SDL_SCANCODE_Q);
        }
    };
    HandleMenuCode(5);
    ReleaseKey(SDL_SCANCODE_Q);
    std::map<std::string, ScreenTime> times;
    std::map<std::string, double> first;
    for (const ShownFrame& frame : scene.frames) {
        first.emplace(frame.screen, frame.seconds);
        ScreenTime& time = times[frame.screen];
        time.seconds = frame.seconds - first[frame.screen];
        ++time.frames;
    }
    delays = scene.driver.delays;
    return times;
}

// Paced or not, every timed screen lasts as long: the pacer's waits are part of the frames'
// measured time, not time left out of the clocks, and never one of the screens' own pauses.
TEST(FramePacing, TimedScreensLastAsLongWhenTheLoopIsHeldToTheRefresh) {
    std::vector<Uint32> slowDelays;
    std::vector<Uint32> pacedDelays;
    const auto slow = ScreenTimes(50.0, slowDelays);
    const auto paced = ScreenTimes(1.0, pacedDelays);
    for (const char* screen : {"flight", "banner", "game over", "credits"}) {
        ASSERT_EQ(paced.count(screen), 1u) << screen;
        const ScreenTime time = paced.at(screen);
        EXPECT_NEAR(time.seconds, slow.at(screen).seconds, 0.051) << screen;
        // The first screen's first frames come unpaced, while the pacer watches the driver.
        if (std::string(screen) != "flight") {
            EXPECT_NEAR(time.frames, time.seconds * 60.0 + 1.0, 1.0) << screen << " at 60 Hz";
        }
    }
    EXPECT_EQ(pacedDelays, slowDelays);
}

}  // namespace
