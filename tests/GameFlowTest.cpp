#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "app/Program.h"
#include "game/GameFlow.h"
#include "game/LevelLoop.h"
#include "game/LevelScreens.h"
#include "game/StoryScreens.h"
#include "settings/Repository.h"
#include "settings/SettingsValues.h"
#include "tests/support/GameScene.h"
#include "tests/support/PlayField.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/TestSystem.h"
#include "world/AwardPoints.h"
#include "world/HugeAsteroidObject.h"
#include "world/ObjectList.h"
#include "world/PickupObject.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"

namespace {

// The arguments of every call of one function in a frame, one after another.
std::vector<double> ArgsOf(const ShownFrame& frame, const char* name) {
    std::vector<double> args;
    for (const RecordedCall& call : CallsNamed(frame.calls, name)) {
        args.insert(args.end(), call.args.begin(), call.args.end());
    }
    return args;
}

bool ActiveExplosion() {
    std::vector<BaseObject*> explosions = ObjectsOfKind(ObjectKind::Explosion);
    return std::any_of(explosions.begin(), explosions.end(),
                       [](BaseObject* wreck) { return wreck->GetState() == ObjectState::Active; });
}

}  // namespace

// One level played through PlayLevel, or the screens around it, with a fresh object list and a
// fixed seed, at 20 ms a frame.
class LevelLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        ObjectList = new ObjectListRecord;
        ObjectList->clock = GlobalClock;
        CurrentLevel = 1;
        level.number = 1;
        level.clock.reset(CreateClock());
        session().extraLives = 1;  // so that the first points grant no life
        std::srand(99);
    }
    void TearDown() override {
        delete ObjectList;
        ObjectList = nullptr;
    }

    GameSessionRecord& session() { return scene.session; }
    ShipObject* Ship() { return session().ship; }

    // Runs a screen, doing `act` in the step after its frame number `at`; the frames it showed.
    size_t Show(const std::function<void()>& screen, size_t at = 0,
                const std::function<void()>& act = nullptr) {
        scene.frames.clear();
        scene.driver.framesShown = 0;
        scene.step = [this, at, act](int) {
            if (scene.frames.size() == at) {
                act();
            }
        };
        screen();
        return scene.frames.size();
    }

    GameScene scene;
    Level level;
};

// A new game tells the story first; levels 5 and 10 are flown into however the game reached them;
// level 15 is the huge asteroid, and completing it wins. From one level to the next the score,
// the lives and the ship with its weapon carry over while the level's counters start again; the
// next game starts afresh.
TEST_F(LevelLoopTest, EachStartLeadsThroughItsScreensAndCarriesTheGameFromLevelToLevel) {
    delete ObjectList;  // each game makes its own
    ObjectList = nullptr;
    scene.driver.frameLimit = 3000;
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
            ASSERT_EQ(ObjectList->Count(), 2) << "the huge asteroid and the ship";
            auto* rock =
                static_cast<HugeAsteroidObject*>(ObjectsOfKind(ObjectKind::HugeAsteroid).at(0));
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
            ObjectList->ForEachObject([](BaseObject* object) {  // struck, they complete the level
                if (object->GetKind() != ObjectKind::Ship) {
                    object->SetState(ObjectState::Hit);
                }
            });
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
        std::vector<std::string> screens;
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
    auto framesOf = [this](const char* screen) {
        return std::count_if(scene.frames.begin(), scene.frames.end(),
                             [&](const ShownFrame& frame) { return frame.screen == screen; });
    };
    EXPECT_EQ(framesOf("banner"), 101) << "frames at 0 to 2 s, 20 ms apart";
    EXPECT_EQ(framesOf("credits"), 1251) << "25 s: Q does not skip the credits";
    EXPECT_EQ(ObjectList, nullptr);
    EXPECT_EQ(scene.session.ship, nullptr) << "the ship went with the object list";
}

TEST_F(LevelLoopTest, SetUpPlacesTheLargeAsteroidsOnTheGridAwayFromTheShip) {
    CurrentLevel = 14;
    scene.session.score = 777;
    for (std::time_t calendar = 1700000000; calendar < 1700000040; ++calendar) {
        scene.driver.time.SetCalendar(calendar);
        std::unique_ptr<Level> level = SetUpLevel();
        EXPECT_EQ(LevelStartScore, 777u);
        std::vector<BaseObject*> rocks = ObjectsOfKind(ObjectKind::LargeAsteroid);
        ASSERT_EQ(rocks.size(), 13u);
        for (BaseObject* rock : rocks) {
            const Vec3 at = rock->position;  // on the half-unit grid that fills the field
            EXPECT_GE(std::fabs(at.x), 5.5f) << "clear of the ship's place";
            EXPECT_TRUE(at.x >= -35.5f && at.x <= 34.5f && at.y >= -26.5f && at.y <= 25.5f &&
                        std::fmod(at.x + 0.5f, 1.0f) == 0.0f &&
                        std::fmod(at.y + 0.5f, 1.0f) == 0.0f)
                << at.x << ", " << at.y;
        }
        ObjectList->ClearWorldList();
    }
}

using StoryScreensTest = LevelLoopTest;

TEST_F(StoryScreensTest, TheFlightFrameTurnsThePictureByItsVariantWithTheEngineSounding) {
    const std::vector<std::vector<double>> corners = {
        {0, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 0},  // as stored
        {1, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 0},  // mirrored left to right
        {0, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1},  // upside down
        {},                                    // anything else draws nothing
    };
    scene.keepCalls = true;
    for (int variant : {0, 1, 2, 7}) {
        RecordingAL::ClearCalls();
        EXPECT_EQ(Show([variant] { ShowFlightFrame(variant); }), 126u)
            << "2.5 s at 20 ms a frame, and the frame at 2.5 s";
        EXPECT_EQ(ArgsOf(scene.frames[0], "glTexCoord2f"), corners[variant == 7 ? 3 : variant])
            << variant;
        std::vector<RecordedCall> engine = RecordingAL::CallsTo("alSourcePlay");
        ASSERT_EQ(engine.size(), 1u);
        EXPECT_EQ(engine[0].args[0], GameScene::ThrustSource);
        ASSERT_EQ(RecordingAL::CallsTo("alSourceStop").size(), 1u);
    }
}

TEST_F(StoryScreensTest, StoryPicturesEndOnTimeOrWhenSkippedOrQuitButPadXDoesNotSkipTheCredits) {
    scene.keepCalls = true;
    EXPECT_EQ(Show(ShowStoryIntro), 751u);
    EXPECT_TRUE(scene.driver.delays.empty());
    EXPECT_EQ(
        Show(ShowStoryIntro, 4, [] { FrameDriver::PushPadButton(SDL_CONTROLLER_BUTTON_X, true); }),
        5u)
        << "the frame after the press is the last";
    EXPECT_EQ(scene.driver.delays, std::vector<Uint32>{200});
    ASSERT_EQ(Show(ShowCredits), 1251u) << "pad X, still held, does not skip them";
    // The picture's top edge: from just below the screen, with t taken as at least 0.01.
    EXPECT_NEAR(ArgsOf(scene.frames[0], "glVertex3f")[1], 0.01 / 25 * 4 - 1, 1e-6);
    EXPECT_NEAR(ArgsOf(scene.frames[625], "glVertex3f")[1], 1.0, 1e-5) << "centred at 12.5 s";
    {
        QuitRequestsCaught requests;
        EXPECT_EQ(Show(ShowCredits, 3, [] { RequestQuit(QuitFrom::Desktop); }), 3u)
            << "a quit request ends them after its frame";
    }
    EXPECT_EQ(Show(ShowCredits, 1, [] { HoldKey(SDL_SCANCODE_ESCAPE); }), 2u);
}

// The summary of a completed level and the end screens, at 20 ms a frame.
class LevelScreensTest : public LevelLoopTest {
protected:
    // The summary of a level that earned levelScore, with `shot` asteroids shot in `fired`
    // shots, the session at `score`; each rise of the score while it showed.
    std::vector<uint32_t> Summary(uint32_t score, uint32_t levelScore, int32_t shot,
                                  int32_t fired) {
        scene.frames.clear();
        scene.session.score = score;
        LevelScore = levelScore;
        AsteroidsShot = shot;
        level.shotsFired = fired;
        std::vector<uint32_t> rises;
        scene.step = [&](int) {
            if (scene.session.score != score) {
                rises.push_back(scene.session.score - score);
                score = scene.session.score;
            }
        };
        ShowLevelSummary(level);
        return rises;
    }

    double Seconds() const {
        return scene.frames.back().seconds - scene.frames.front().seconds + 0.02;
    }
};

// The summary's lines come a second apart and the bonus is tallied a thousand a frame, an extra
// life showing in the frame whose points cross a multiple of half a million.
TEST_F(LevelScreensTest, TheSummaryShowsItsLinesASecondApartAndTalliesTheBonusByThousands) {
    level.number = 3;
    LevelStartScore = 16250;
    EXPECT_EQ(Summary(20000, 3750, 2, 3), (std::vector<uint32_t>{1000, 1000, 500}))
        << "two thirds of 3750 is 2500";
    const char* lines[] = {
        "Score at Start of Level:", "Score Earned This Level:", "                Accuracy:",
        "          Accuracy Bonus:", "           Total Score:"};
    for (int i = 0; i < 5; ++i) {
        int first = scene.FirstFrameDrawing(lines[i]);
        ASSERT_GE(first, 0) << lines[i];
        EXPECT_NEAR(scene.frames[first].seconds - scene.frames[0].seconds, i + 1.02, 1e-6)
            << lines[i];
    }
    for (const char* value : {"16250", "3750", "66.67%", "2500", "22500", "Level:3"}) {
        EXPECT_TRUE(scene.Drew(value)) << value;
    }
    // Lines for five seconds, three frames of tally, the frame that finds it done, five more.
    EXPECT_NEAR(Seconds(), 5.02 + 3 * 0.02 + 5.02, 1e-6);

    // A level without shots has no bonus and ends five seconds after its fifth line.
    EXPECT_TRUE(Summary(5000, 5000, 0, 0).empty());
    EXPECT_TRUE(scene.Drew("0.00%"));
    EXPECT_NEAR(Seconds(), 5.02 + 5.02, 1e-6);

    scene.session.lives = 2;
    Summary(499500, 1000, 4, 4);
    EXPECT_EQ(scene.session.lives, 3);
    EXPECT_EQ(scene.session.extraLives, 2u);
    int crossed = scene.FirstFrameDrawing("500500");
    ASSERT_GE(crossed, 1);
    EXPECT_EQ(scene.FirstFrameDrawing("Lives:3"), crossed) << "shown in the frame that crossed";
}

// A quit request cuts the banner, the summary and the end screens short after the frame it
// came in; the summary still counts its whole bonus, and a new high score is in the settings file
// by the end screen's first frame.
TEST_F(LevelScreensTest, AQuitRequestCutsTheTimedScreensShortButKeepsTheirScore) {
    auto quitAfter = [this](size_t last, const std::function<void()>& screen) {
        QuitRequestsCaught requests;
        return Show(screen, last, [] { RequestQuit(QuitFrom::Desktop); });
    };
    EXPECT_EQ(quitAfter(3, [this] { ShowLevelBanner(level); }), 3u);
    scene.session.score = 20000;
    LevelScore = 3750;
    AsteroidsShot = 2;
    level.shotsFired = 3;
    // In the tally's second frame, after five seconds of lines at 20 ms.
    EXPECT_EQ(quitAfter(253, [this] { ShowLevelSummary(level); }), 253u);
    EXPECT_EQ(scene.session.score, 22500u) << "the whole bonus of 2500";

    HighScore = 1000;
    for (void (*endScreen)() : {ShowGameOver, ShowGameWin}) {
        scene.session.score += 1;
        int32_t saved = -1;
        QuitRequestsCaught requests;
        EXPECT_EQ(Show(endScreen, 1,
                       [&saved] {
                           Repository file;  // the settings file beside the game
                           file.LoadFile(std::string(AssetRoot) + SettingsFileName);
                           file.GetInt("HighScore", &saved);
                           RequestQuit(QuitFrom::Terminal);
                       }),
                  1u)
            << "the game-win screen's second spell shows nothing";
        EXPECT_EQ(saved, static_cast<int32_t>(scene.session.score)) << "saved by the first frame";
    }
}

TEST(LevelAccuracy, CountsAsteroidsPerShotAndTruncatesTheBonus) {
    EXPECT_EQ(LevelAccuracy(6, 4), 1.5f) << "a spread shot can bring down several";
    EXPECT_EQ(AccuracyBonus(1001, LevelAccuracy(2, 3)), 667u);
    EXPECT_EQ(AccuracyBonus(4000000000u, 3.0f), 4294967040u) << "held within the score's range";
}

// Game over lasts five seconds and game won ten; only a score above the high score is a new one,
// shown with its emblem and its line.
TEST_F(LevelScreensTest, OnlyAScoreAboveTheHighScoreIsANewHighScore) {
    HighScore = 1234;
    scene.session.score = 1234;
    scene.keepCalls = true;
    auto emblemShown = [this] {
        return std::any_of(scene.frames.begin(), scene.frames.end(), [](const ShownFrame& frame) {
            return frame.Binds("textures/gameplay/highscore.tga");
        });
    };
    ShowGameOver();
    EXPECT_EQ(scene.ScreenSequence(), std::vector<std::string>{"game over"});
    EXPECT_NEAR(Seconds(), 5.0, 1e-6);
    EXPECT_FALSE(emblemShown());
    for (const ShownFrame& frame : scene.frames) {
        EXPECT_TRUE(frame.texts.empty());
    }

    scene.frames.clear();
    scene.session.score = 1235;
    ShowGameOver();
    EXPECT_STREQ(HighScoreText, "High Score:1235");
    EXPECT_TRUE(scene.Drew("NEW HIGH SCORE:1235"));
    EXPECT_TRUE(emblemShown());

    scene.frames.clear();
    scene.session.score = 99999;
    ShowGameWin();
    EXPECT_EQ(scene.ScreenSequence(), std::vector<std::string>{"game win"});
    EXPECT_NEAR(Seconds(), 10.0, 1e-6);
    EXPECT_STREQ(HighScoreText, "High Score: 99999");
    EXPECT_TRUE(scene.Drew("NEW HIGH SCORE:99999"));
}

TEST_F(LevelLoopTest, PowerUpsFallEveryFiveToTwentySecondsAndNeverTwiceOfAKind) {
    ObjectList->AddObject(new UntouchableRock);
    std::vector<double> dropSeconds;
    std::vector<ObjectKind> kinds;
    scene.driver.frameLimit = 8000;
    scene.step = [&](int frame) {
        // A pickup dropped in this frame has not been updated yet.
        ObjectList->ForEachObject([&](BaseObject* object) {
            auto* pickup = dynamic_cast<PickupObject*>(object);
            if (pickup != nullptr && pickup->age == 0.0f) {
                dropSeconds.push_back(frame * 0.02);
                kinds.push_back(pickup->GetKind());
                EXPECT_EQ(pickup->lifetime, 10.0f);
            }
        });
        if (frame == 7500) {
            HoldKey(SDL_SCANCODE_Q);
        }
    };
    EXPECT_FALSE(PlayLevel(level));

    ASSERT_GE(kinds.size(), 7u);
    double previous = 0.0;  // the first drop is timed from the level's start
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_GE(dropSeconds[i] - previous, 5.0 - 1e-9) << "drop " << i;
        EXPECT_LE(dropSeconds[i] - previous, 20.0 + 0.021) << "drop " << i;
        previous = dropSeconds[i];
        if (i > 0) {
            EXPECT_NE(kinds[i], kinds[i - 1]) << "drop " << i;
        }
    }
    EXPECT_EQ(std::set<ObjectKind>(kinds.begin(), kinds.end()).size(), 4u);
    EXPECT_EQ(NoRepeatPowerUpKind(4, 4), 1) << "a repeat of the last kind wraps to the first";
}

// A ship crashed in the first frame, with an asteroid left on the field that nothing can touch or
// with the last asteroid lost in the same crash, and some lives left or none.
struct Crash {
    bool asteroidLeft;
    int32_t lives;
};

class ShipCrash : public LevelLoopTest, public ::testing::WithParamInterface<Crash> {};

TEST_P(ShipCrash, ANewShipComesOnlyOnceTheWreckIsGoneAndTheLastAsteroidEndsTheLevelThen) {
    const Crash crash = GetParam();
    session().lives = crash.lives;
    if (crash.asteroidLeft) {
        ObjectList->AddObject(new UntouchableRock);
    }
    int lastStep = -1;
    int backAt = -1;
    scene.step = [&](int frame) {
        lastStep = frame;
        if (frame == 0) {  // the ship made vulnerable, and a still small asteroid on it
            Ship()->invulnerableTime = 0.0f;
            Ship()->vulnerable = true;
            ObjectList->AddObject(new SmallAsteroidObject(Vec3{}, Ship()->position, 0.0f));
        } else if (Ship() == nullptr) {
            EXPECT_TRUE(ActiveExplosion()) << "no ship only while the wreck flies, frame " << frame;
            EXPECT_FALSE(session().shipActive);
        } else if (backAt < 0) {
            backAt = frame;
            EXPECT_TRUE(session().shipActive);
            EXPECT_EQ(Ship()->position.x, 0.0f);
            EXPECT_FALSE(Ship()->vulnerable) << "a new ship starts shielded";
            EXPECT_FALSE(ActiveExplosion());
            HoldKey(SDL_SCANCODE_Q);
        }
    };
    bool completed = PlayLevel(level);
    EXPECT_EQ(session().lives, crash.lives - 1);
    // The wreck lasts 0.75 s, 37.5 frames of 20 ms: the update after step 38 finds it gone.
    if (crash.asteroidLeft) {
        EXPECT_EQ(backAt, 39);
        EXPECT_FALSE(completed);
    } else {
        EXPECT_EQ(lastStep, 38);
        EXPECT_EQ(completed, crash.lives > 0);
        EXPECT_EQ(Ship() != nullptr, crash.lives > 0) << "a new ship comes in the completing frame";
    }
}

INSTANTIATE_TEST_SUITE_P(LivesLeft, ShipCrash,
                         ::testing::Values(Crash{true, 3}, Crash{false, 2}, Crash{false, 0}));

TEST_F(LevelLoopTest, ControlsReachTheShipAndEscapeDoesNothing) {
    ObjectList->AddObject(new UntouchableRock);
    double headingAfterLeft = 0.0;
    scene.step = [&](int frame) {
        if (frame == 0) {
            Ship()->weapon = Weapon::Spread;
            Ship()->fireInterval = 300.0f;
            for (SDL_Scancode key :
                 {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_UP, SDL_SCANCODE_SPACE, SDL_SCANCODE_LEFT}) {
                HoldKey(key);
            }
        } else if (frame == 25) {
            headingAfterLeft = Ship()->heading;
            ReleaseKey(SDL_SCANCODE_LEFT);
            HoldKey(SDL_SCANCODE_RIGHT);
        } else if (frame == 49) {
            EXPECT_TRUE(Ship()->thrusting);
            EXPECT_TRUE(Ship()->flame->emitting);
            ReleaseKey(SDL_SCANCODE_SPACE);
            HoldKey(SDL_SCANCODE_Q);
        }
    };
    EXPECT_FALSE(PlayLevel(level));
    EXPECT_EQ(scene.frames.size(), 51u) << "Escape held for 49 frames changed nothing";
    // A key pushed after frame n is seen by frame n + 1's controls and turns the ship by 3.6
    // degrees in each update from frame n + 2 on: Left in frames 2 to 26, Right in 27 to 50.
    EXPECT_NEAR(headingAfterLeft, 23 * 3.6, 1e-3) << "Left turns counter-clockwise";
    ASSERT_NE(Ship(), nullptr);
    EXPECT_NEAR(Ship()->heading, (25 - 24) * 3.6, 1e-3) << "Right turns back";
    EXPECT_EQ(level.shotsFired, 3) << "after 300, 600 and 900 ms of the second fire was held";
}

TEST_F(LevelLoopTest, TheHudShowsTheCountersBoxesWeaponAndAShieldTallerThanItsBox) {
    ObjectList->AddObject(new UntouchableRock);
    level.number = 4;
    session().score = 12345;
    scene.keepCalls = true;
    scene.step = [&](int frame) {
        if (frame == 0) {
            Ship()->weapon = Weapon::Starburst;
        }
        if (frame == 1) {
            Ship()->invulnerableTime = 10000.0f;  // as a pickup taken under the first shield
            HoldKey(SDL_SCANCODE_Q);
        }
    };
    PlayLevel(level);
    ASSERT_EQ(scene.frames.size(), 3u);
    EXPECT_EQ(scene.frames[0].texts, (std::vector<std::string>{"Lives:3", "Level:4", "Score:12345",
                                                               "Powerup:", "Shield:"}));

    // The pictures of the field and the HUD in the order the frame bound them, and the top edge
    // of the shield bar (2r - 1 in its box): full in the first frame, nearly twice the box's
    // height once the shield was renewed under the first one.
    const double shield = GameScene::TextureName("textures/gameplay/powerinvuln.tga");
    const std::vector<double> pictures = {
        GameScene::TextureName("textures/gameplay/background0.tga"),
        GameScene::TextureName("textures/gameplay/shipinv.tga"),
        GameScene::TextureName("textures/gameplay/displaybox.tga"),
        GameScene::TextureName("textures/gameplay/powerstarburst.tga"), shield};
    auto barTop = [&](const ShownFrame& frame, std::vector<double>* bound) {
        double top = -99.0;
        for (const RecordedCall& call : frame.calls) {
            if (call.name == "glBindTexture" &&
                std::count(pictures.begin(), pictures.end(), call.args[1]) > 0) {
                bound->push_back(call.args[1]);
            }
            if (top == -99.0 && !bound->empty() && bound->back() == shield &&
                call.name == "glVertex3f") {
                top = call.args[1];
            }
        }
        return top;
    };
    std::vector<double> bound;
    EXPECT_DOUBLE_EQ(barTop(scene.frames[0], &bound), 1.0);
    bound.clear();
    EXPECT_NEAR(barTop(scene.frames[2], &bound), 2.0 * (10000.0 - 20.0) / 5000.0 - 1.0, 1e-4);
    EXPECT_EQ(bound, pictures);
}
