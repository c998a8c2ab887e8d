#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
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
#include "tests/support/RecordingAL.h"
#include "world/AwardPoints.h"
#include "world/HugeAsteroidObject.h"
#include "world/LargeAsteroidObject.h"
#include "world/ObjectList.h"
#include "world/ShipObject.h"

namespace {

using Screens = std::vector<std::string>;

std::vector<BaseObject*> ObjectsOfKind(ObjectKind kind) {
    std::vector<BaseObject*> found;
    ObjectList->ForEachObject([&](BaseObject* object) {
        if (object->GetKind() == kind) {
            found.push_back(object);
        }
    });
    return found;
}

// Strikes every asteroid on the field, which completes the level once they are gone.
void StrikeEveryAsteroid() {
    ObjectList->ForEachObject([](BaseObject* object) {
        if (object->GetKind() != ObjectKind::Ship) {
            object->SetState(ObjectState::Hit);
        }
    });
}

void PushPadX() {
    SDL_Event event{};
    event.type = SDL_CONTROLLERBUTTONDOWN;
    event.cbutton.button = SDL_CONTROLLER_BUTTON_X;
    SDL_PushEvent(&event);
}

// The texture coordinates of the first story picture drawn in a frame: top-left, top-right,
// bottom-left, bottom-left, top-right, bottom-right.
std::vector<double> TexCoords(const ShownFrame& frame) {
    std::vector<double> coordinates;
    for (const RecordedCall& call : frame.calls) {
        if (call.name == "glTexCoord2f") {
            coordinates.push_back(call.args[0]);
            coordinates.push_back(call.args[1]);
        }
    }
    return coordinates;
}

// The y of every vertex drawn in a frame.
std::vector<double> VertexHeights(const ShownFrame& frame) {
    std::vector<double> heights;
    for (const RecordedCall& call : frame.calls) {
        if (call.name == "glVertex3f") {
            heights.push_back(call.args[1]);
        }
    }
    return heights;
}

}  // namespace

// Whole games, driven at 50 ms a frame; a step reacts to the screen just shown.
class GameFlowTest : public ::testing::Test {
protected:
    GameFlowTest() : scene(50.0) { scene.driver.frameLimit = 3000; }

    // Runs `atLevel` in the step after the first frame of each level shown.
    void OnEachLevel(std::function<void()> atLevel) {
        scene.step = [this, atLevel](int) {
            const std::vector<ShownFrame>& frames = scene.frames;
            size_t count = frames.size();
            bool levelStarts = frames[count - 1].screen == "level" &&
                               (count == 1 || frames[count - 2].screen != "level");
            if (levelStarts) {
                atLevel();
            }
        };
    }

    // The shown time of the screen's first run of frames, from its first frame to the end of
    // its last.
    double SecondsOf(const std::string& screen) const {
        double first = -1.0;
        double last = -1.0;
        for (const ShownFrame& frame : scene.frames) {
            if (frame.screen == screen) {
                first = first < 0.0 ? frame.seconds : first;
                last = frame.seconds;
            }
        }
        return last - first + 0.05;
    }

    GameScene scene;
};

TEST_F(GameFlowTest, ANewGameTellsTheStoryThenLevelOneAndAnAbandonedLevelEndsIt) {
    std::vector<int> levelsSeen;
    OnEachLevel([&] {
        levelsSeen.push_back(CurrentLevel);
        EXPECT_EQ(ObjectsOfKind(ObjectKind::LargeAsteroid).size(), 1u);
        HoldKey(SDL_SCANCODE_Q);
    });
    HandleMenuCode(MenuNewGame);

    EXPECT_EQ(scene.ScreenSequence(),
              (Screens{"story", "flight", "banner", "level", "game over", "credits"}));
    EXPECT_EQ(levelsSeen, std::vector<int>{1});
    EXPECT_NEAR(SecondsOf("story"), 15.05, 1e-6);
    EXPECT_NEAR(SecondsOf("flight"), 2.55, 1e-6);
    EXPECT_NEAR(SecondsOf("banner"), 2.05, 1e-6);
    EXPECT_NEAR(SecondsOf("game over"), 5.0, 1e-6);
    EXPECT_NEAR(SecondsOf("credits"), 25.05, 1e-6) << "Q does not skip the credits";
    EXPECT_TRUE(scene.Drew("Level: 1"));
    EXPECT_EQ(ObjectList, nullptr);
    EXPECT_EQ(scene.session.ship, nullptr) << "the ship went with the object list";
}

TEST_F(GameFlowTest, LevelFiveAndLevelTenAreFlownIntoHoweverTheGameReachedThem) {
    std::vector<int> levelsSeen;
    OnEachLevel([&] {
        levelsSeen.push_back(CurrentLevel);
        if (CurrentLevel == 9) {
            StrikeEveryAsteroid();
        } else {
            HoldKey(SDL_SCANCODE_Q);
        }
    });
    HandleMenuCode(5);
    EXPECT_EQ(scene.ScreenSequence(),
              (Screens{"flight", "banner", "level", "game over", "credits"}));
    scene.frames.clear();
    ReleaseKey(SDL_SCANCODE_Q);
    HandleMenuCode(9);
    EXPECT_EQ(scene.ScreenSequence(), (Screens{"banner", "level", "summary", "flight", "banner",
                                               "level", "game over", "credits"}));
    EXPECT_EQ(levelsSeen, (std::vector<int>{5, 9, 10}));
    EXPECT_TRUE(scene.Drew("Level:10"));
}

TEST_F(GameFlowTest, LevelFifteenIsTheHugeAsteroidAndCompletingItWinsTheGame) {
    HighScore = 100;
    OnEachLevel([&] {
        std::vector<BaseObject*> huge = ObjectsOfKind(ObjectKind::HugeAsteroid);
        ASSERT_EQ(huge.size(), 1u);
        ASSERT_EQ(ObjectList->Count(), 2) << "the huge asteroid and the ship";
        auto* asteroid = static_cast<HugeAsteroidObject*>(huge[0]);
        EXPECT_EQ(asteroid->velocity.x, -1.15f);
        EXPECT_EQ(asteroid->velocity.y, -0.85f);
        EXPECT_EQ(asteroid->spin, 270.0f);
        EXPECT_EQ(asteroid->position.x, 35.0f) << "not moved before the first update";
        EXPECT_EQ(asteroid->position.y, 25.0f);
        AwardPoints(5000);
        StrikeEveryAsteroid();
    });
    RunGame(15);
    EXPECT_EQ(scene.ScreenSequence(), (Screens{"banner", "level", "game win", "credits"}));
    EXPECT_NEAR(SecondsOf("game win"), 10.0, 0.051);
    EXPECT_EQ(HighScore, 5000);
    EXPECT_STREQ(HighScoreText, "High Score: 5000");
    EXPECT_TRUE(scene.Drew("NEW HIGH SCORE:5000"));
}

TEST_F(GameFlowTest, ScoreLivesAndShipCarryOverWhileTheLevelCountersStartAgain) {
    ShipObject* firstShip = nullptr;
    OnEachLevel([&] {
        if (CurrentLevel == 1) {
            firstShip = scene.session.ship;
            firstShip->weapon = Weapon::Spread;
            firstShip->position.x = 10.0f;
            AwardPoints(2000);  // the first points of the game also grant a life
            AsteroidsShot = 1;
            StrikeEveryAsteroid();
            return;
        }
        EXPECT_EQ(CurrentLevel, 2);
        EXPECT_EQ(ObjectsOfKind(ObjectKind::LargeAsteroid).size(), 2u);
        EXPECT_EQ(scene.session.score, 2000u) << "no bonus without shots";
        EXPECT_EQ(scene.session.lives, 4);
        EXPECT_EQ(LevelScore, 0u);
        EXPECT_EQ(AsteroidsShot, 0);
        EXPECT_EQ(scene.session.ship, firstShip);
        EXPECT_EQ(firstShip->weapon, Weapon::Spread);
        EXPECT_EQ(firstShip->position.x, 0.0f) << "back at the centre";
        HoldKey(SDL_SCANCODE_Q);
    });
    RunGame(1);
    EXPECT_EQ(scene.ScreenSequence(),
              (Screens{"banner", "level", "summary", "banner", "level", "game over", "credits"}));
    EXPECT_TRUE(scene.Drew("Level: 2"));
}

TEST_F(GameFlowTest, TwoGamesInARowStartAlike) {
    struct Start {
        uint32_t score;
        int32_t lives;
        uint32_t extraLives;
    };
    std::vector<Start> starts;
    OnEachLevel([&] {
        starts.push_back(Start{scene.session.score, scene.session.lives, scene.session.extraLives});
        AwardPoints(750);
        EXPECT_EQ(scene.session.lives, 4) << "the first points of each game grant a life";
        HoldKey(SDL_SCANCODE_Q);
    });
    RunGame(2);
    ReleaseKey(SDL_SCANCODE_Q);
    RunGame(2);
    ASSERT_EQ(starts.size(), 2u);
    for (const Start& start : starts) {
        EXPECT_EQ(start.score, 0u);
        EXPECT_EQ(start.lives, 3);
        EXPECT_EQ(start.extraLives, 0u);
    }
}

TEST_F(GameFlowTest, SetUpPlacesTheLargeAsteroidsOnTheGridAwayFromTheShipAndMoving) {
    ObjectList = new ObjectListRecord;
    CurrentLevel = 14;
    scene.session.score = 777;
    for (std::time_t calendar = 1700000000; calendar < 1700000040; ++calendar) {
        scene.driver.time.SetCalendar(calendar);
        std::unique_ptr<Level> level = SetUpLevel();
        EXPECT_EQ(level->number, 14);
        EXPECT_EQ(LevelStartScore, 777u);
        EXPECT_EQ(LevelScore, 0u);
        std::vector<BaseObject*> rocks = ObjectsOfKind(ObjectKind::LargeAsteroid);
        ASSERT_EQ(rocks.size(), 13u);
        for (BaseObject* object : rocks) {
            auto* rock = static_cast<LargeAsteroidObject*>(object);
            float x = rock->position.x;
            float y = rock->position.y;
            EXPECT_GE(std::fabs(x), 5.5f) << "clear of the ship's place";
            EXPECT_TRUE(x >= -35.5f && x <= 34.5f && std::fmod(x + 0.5f, 1.0f) == 0.0f) << x;
            EXPECT_TRUE(y >= -26.5f && y <= 25.5f && std::fmod(y + 0.5f, 1.0f) == 0.0f) << y;
            EXPECT_NE(rock->velocity.x, 0.0f);
            EXPECT_NE(rock->velocity.y, 0.0f);
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
        EXPECT_EQ(TexCoords(scene.frames[0]), corners[variant == 7 ? 3 : variant]) << variant;
        std::vector<RecordedCall> engine = RecordingAL::CallsTo("alSourcePlay");
        ASSERT_EQ(engine.size(), 1u);
        EXPECT_EQ(engine[0].args[0], GameScene::ThrustSource);
        ASSERT_EQ(RecordingAL::CallsTo("alSourceStop").size(), 1u);
    }
}

TEST_F(StoryScreensTest, StoryPicturesEndOnTimeOrWhenSkippedButPadXDoesNotSkipTheCredits) {
    ShowStoryIntro();
    EXPECT_EQ(scene.frames.size(), 151u);
    EXPECT_TRUE(scene.driver.delays.empty());

    scene.frames.clear();
    scene.step = [this](int) {
        if (scene.frames.size() == 4) {
            PushPadX();
        }
    };
    ShowStoryIntro();
    EXPECT_EQ(scene.frames.size(), 5u) << "the frame after the press is the last";
    EXPECT_EQ(scene.driver.delays, std::vector<Uint32>{200});

    scene.frames.clear();
    ShowCredits();  // pad X is still held
    ASSERT_EQ(scene.frames.size(), 251u);
    // The picture's top edge: from just below the screen, with t taken as at least 0.01.
    EXPECT_NEAR(VertexHeights(scene.frames[0])[0], 0.01 / 25 * 4 - 1, 1e-6);
    EXPECT_NEAR(VertexHeights(scene.frames[125])[0], 1.0, 1e-5) << "centred at 12.5 s";

    scene.frames.clear();
    scene.step = [this](int) {
        if (scene.frames.size() == 1) {
            HoldKey(SDL_SCANCODE_ESCAPE);
        }
    };
    ShowCredits();
    EXPECT_EQ(scene.frames.size(), 2u);
}
