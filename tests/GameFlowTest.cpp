#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "game/GameFlow.h"
#include "game/StoryScreens.h"
#include "settings/SettingsValues.h"
#include "tests/support/GameScene.h"
#include "tests/support/PlayField.h"
#include "tests/support/QuitSignals.h"
#include "tests/support/RecordingAL.h"
#include "world/AwardPoints.h"
#include "world/HugeAsteroidObject.h"
#include "world/ObjectList.h"
#include "world/ShipObject.h"

namespace {

using Screens = std::vector<std::string>;

// Strikes every asteroid on the field, which completes the level once they are gone.
void StrikeEveryAsteroid() {
    ObjectList->ForEachObject([](BaseObject* object) {
        if (object->GetKind() != ObjectKind::Ship) {
            object->SetState(ObjectState::Hit);
        }
    });
}

// The arguments of every call of one function in a frame, one after another.
std::vector<double> ArgsOf(const ShownFrame& frame, const char* name) {
    std::vector<double> args;
    for (const RecordedCall& call : CallsNamed(frame.calls, name)) {
        args.insert(args.end(), call.args.begin(), call.args.end());
    }
    return args;
}

}  // namespace

// Whole games, driven at 50 ms a frame; a step reacts to the screen just shown.
class GameFlowTest : public ::testing::Test {
protected:
    GameFlowTest() : scene(50.0) { scene.driver.frameLimit = 3000; }

    int FramesOf(const std::string& screen) const {
        return static_cast<int>(
            std::count_if(scene.frames.begin(), scene.frames.end(),
                          [&](const ShownFrame& f) { return f.screen == screen; }));
    }

    GameScene scene;
};

// A new game tells the story first; levels 5 and 10 are flown into however the game reached them;
// level 15 is the huge asteroid, and completing it wins. From one level to the next the score,
// the lives and the ship with its weapon carry over while the level's counters start again; the
// next game starts afresh.
TEST_F(GameFlowTest, EachStartLeadsThroughItsScreensAndCarriesTheGameFromLevelToLevel) {
    std::vector<int> levelsSeen;
    ShipObject* firstShip = nullptr;
    scene.step = [&](int) {  // after the first frame of each level
        const std::vector<ShownFrame>& frames = scene.frames;
        if (frames.back().screen != "level" ||
            (frames.size() > 1 && frames[frames.size() - 2].screen == "level")) {
            return;
        }
        levelsSeen.push_back(CurrentLevel);
        EXPECT_TRUE(scene.Drew("Level:" + std::to_string(CurrentLevel))) << "in the HUD";
        if (CurrentLevel == 15) {
            std::vector<BaseObject*> huge = ObjectsOfKind(ObjectKind::HugeAsteroid);
            ASSERT_EQ(huge.size(), 1u);
            ASSERT_EQ(ObjectList->Count(), 2) << "the huge asteroid and the ship";
            auto* rock = static_cast<HugeAsteroidObject*>(huge[0]);
            EXPECT_EQ((std::vector<float>{rock->velocity.x, rock->velocity.y, rock->spin,
                                          rock->position.x, rock->position.y}),
                      (std::vector<float>{-1.15f, -0.85f, 270.0f, 35.0f, 25.0f}))
                << "drifting and turning, not moved before the first update";
        }
        if (CurrentLevel == 9 || CurrentLevel == 15) {
            EXPECT_EQ(scene.session.score, 0u);
            EXPECT_EQ(scene.session.lives, 3);
            firstShip = scene.session.ship;
            firstShip->weapon = Weapon::Spread;
            firstShip->position.x = 10.0f;
            AwardPoints(2000);  // the first points of each game also grant a life
            AsteroidsShot = 1;
            StrikeEveryAsteroid();
            return;
        }
        if (CurrentLevel == 10) {
            EXPECT_EQ(scene.session.score, 2000u) << "no bonus without shots";
            EXPECT_EQ(scene.session.lives, 4);
            EXPECT_EQ(LevelScore, 0u);
            EXPECT_EQ(AsteroidsShot, 0);
            EXPECT_EQ(scene.session.ship, firstShip);
            EXPECT_EQ(firstShip->weapon, Weapon::Spread);
            EXPECT_EQ(firstShip->position.x, 0.0f) << "back at the centre";
        }
        HoldKey(SDL_SCANCODE_Q);
    };
    const struct {
        MenuCode start;
        Screens screens;
    } games[] = {
        {15, {"banner", "level", "game win", "credits"}},
        {9, {"banner", "level", "summary", "flight", "banner", "level", "game over", "credits"}},
        {5, {"flight", "banner", "level", "game over", "credits"}},
        {MenuNewGame, {"story", "flight", "banner", "level", "game over", "credits"}},
    };
    for (const auto& game : games) {
        scene.frames.clear();
        scene.driver.framesShown = 0;
        ReleaseKey(SDL_SCANCODE_Q);
        HandleMenuCode(game.start);
        EXPECT_EQ(scene.ScreenSequence(), game.screens) << "from level " << game.start;
    }
    EXPECT_EQ(levelsSeen, (std::vector<int>{15, 9, 10, 5, 1}));
    EXPECT_TRUE(scene.Drew("Level: 1"));
    EXPECT_EQ(FramesOf("banner"), 41) << "frames at 0 to 2 s, 50 ms apart";
    EXPECT_EQ(FramesOf("credits"), 501) << "25 s: Q does not skip the credits";
    EXPECT_EQ(ObjectList, nullptr);
    EXPECT_EQ(scene.session.ship, nullptr) << "the ship went with the object list";
}

TEST_F(GameFlowTest, SetUpPlacesTheLargeAsteroidsOnTheGridAwayFromTheShip) {
    ObjectList = new ObjectListRecord;
    CurrentLevel = 14;
    scene.session.score = 777;
    for (std::time_t calendar = 1700000000; calendar < 1700000040; ++calendar) {
        scene.driver.time.SetCalendar(calendar);
        std::unique_ptr<Level> level = SetUpLevel();
        EXPECT_EQ(LevelStartScore, 777u);
        std::vector<BaseObject*> rocks = ObjectsOfKind(ObjectKind::LargeAsteroid);
        ASSERT_EQ(rocks.size(), 13u);
        for (BaseObject* rock : rocks) {
            EXPECT_GE(std::fabs(rock->position.x), 5.5f) << "clear of the ship's place";
            EXPECT_TRUE(OnFieldGrid(rock->position))
                << rock->position.x << ", " << rock->position.y;
        }
        ObjectList->ClearWorldList();
    }
    delete ObjectList;
    ObjectList = nullptr;
}

// The story screens on their own, with every frame's calls kept.
class StoryScreensTest : public ::testing::Test {
protected:
    StoryScreensTest() { scene.keepCalls = true; }
    GameScene scene{100.0};
};

TEST_F(StoryScreensTest, TheFlightFrameTurnsThePictureByItsVariantWithTheEngineSounding) {
    const std::vector<std::vector<double>> corners = {
        {0, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 0},  // as stored
        {1, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 0},  // mirrored left to right
        {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1},  // upside down
        {},                                    // anything else draws nothing
    };
    for (int variant : {0, 1, 2, 7}) {
        scene.frames.clear();
        RecordingAL::ClearCalls();
        ShowFlightFrame(variant);
        EXPECT_EQ(scene.frames.size(), 26u) << "2.5 s at 100 ms a frame, and the frame at 2.5 s";
        EXPECT_EQ(ArgsOf(scene.frames[0], "glTexCoord2f"), corners[variant == 7 ? 3 : variant])
            << variant;
        std::vector<RecordedCall> engine = RecordingAL::CallsTo("alSourcePlay");
        ASSERT_EQ(engine.size(), 1u);
        EXPECT_EQ(engine[0].args[0], GameScene::ThrustSource);
        ASSERT_EQ(RecordingAL::CallsTo("alSourceStop").size(), 1u);
    }
}

TEST_F(StoryScreensTest, StoryPicturesEndOnTimeOrWhenSkippedOrQuitButPadXDoesNotSkipTheCredits) {
    ShowStoryIntro();
    EXPECT_EQ(scene.frames.size(), 151u);
    EXPECT_TRUE(scene.driver.delays.empty());

    scene.frames.clear();
    scene.step = [this](int) {
        if (scene.frames.size() == 4) {
            FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_X, true);
        }
    };
    ShowStoryIntro();
    EXPECT_EQ(scene.frames.size(), 5u) << "the frame after the press is the last";
    EXPECT_EQ(scene.driver.delays, std::vector<Uint32>{200});

    scene.frames.clear();
    ShowCredits();  // pad X is still held
    ASSERT_EQ(scene.frames.size(), 251u);
    // The picture's top edge: from just below the screen, with t taken as at least 0.01.
    EXPECT_NEAR(ArgsOf(scene.frames[0], "glVertex3f")[1], 0.01 / 25 * 4 - 1, 1e-6);
    EXPECT_NEAR(ArgsOf(scene.frames[125], "glVertex3f")[1], 1.0, 1e-5) << "centred at 12.5 s";

    {
        QuitSignalsCaught signals;
        scene.frames.clear();
        scene.step = [this](int) {
            if (scene.frames.size() == 3) {
                std::raise(SIGTERM);
            }
        };
        ShowCredits();
        EXPECT_EQ(scene.frames.size(), 3u) << "a quit request ends it after its frame";
    }
    scene.frames.clear();
    scene.step = [this](int) {
        if (scene.frames.size() == 1) {
            HoldKey(SDL_SCANCODE_ESCAPE);
        }
    };
    ShowCredits();
    EXPECT_EQ(scene.frames.size(), 2u);
}
