#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/WindowSight.h"
#include "audio/AudioDevice.h"
#include "game/LevelLoop.h"
#include "tests/support/GameScene.h"
#include "tests/support/PlayField.h"
#include "tests/support/QuitSignals.h"
#include "tests/support/RecordingAL.h"
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
                std::raise(SIGTERM);
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
    QuitSignalsCaught signals;
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

}  // namespace
