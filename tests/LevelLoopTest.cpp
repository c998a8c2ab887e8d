#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "game/LevelLoop.h"
#include "render/AssetCatalogue.h"
#include "tests/support/GameScene.h"
#include "tests/support/RecordingAL.h"
#include "world/ObjectList.h"
#include "world/PickupObject.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"

namespace {

// An asteroid that nothing can touch: it keeps a level from being completed.
class UntouchableRock : public BaseObject {
public:
    UntouchableRock() : BaseObject(ObjectKind::LargeAsteroid, 0, Vec3{30.0f, 20.0f, PlayFieldZ}) {
        hasBody = false;
    }
};

bool ActiveExplosion() {
    bool found = false;
    ObjectList->ForEachObject([&found](BaseObject* object) {
        found = found || (object->GetKind() == ObjectKind::Explosion &&
                          object->GetState() == ObjectState::Active);
    });
    return found;
}

// The calls to the recording AL that name a source, as "alSourcePlay" or "alSourceStop".
std::vector<std::string> SourceCalls(double source) {
    std::vector<std::string> names;
    for (const RecordedCall& call : RecordingAL::Calls()) {
        if ((call.name == "alSourcePlay" || call.name == "alSourceStop") &&
            call.args[0] == source) {
            names.push_back(call.name);
        }
    }
    return names;
}

bool OnHalfGrid(float value, float low, float high) {
    return value >= low && value <= high && std::fmod(value + 0.5f, 1.0f) == 0.0f;
}

}  // namespace

// One level played through PlayLevel with a fresh object list and a fixed seed.
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

    // The ship, made vulnerable, and a still small asteroid on it: both are lost in this frame.
    void CrashShip() {
        Ship()->invulnerableTime = 0.0f;
        Ship()->vulnerable = true;
        Vec3 at = Ship()->position;
        ObjectList->AddObject(new SmallAsteroidObject(Vec3{}, at, 0.0f));
    }

    GameScene scene;
    Level level;
};

TEST_F(LevelLoopTest, PowerUpsFallEveryFiveToTwentySecondsAndNeverTwiceOfAKind) {
    ObjectList->AddObject(new UntouchableRock);
    struct Drop {
        double seconds;
        PickupObject* pickup;
        ObjectKind kind;
    };
    std::vector<Drop> drops;
    scene.driver.frameLimit = 8000;
    scene.step = [&](int frame) {
        // A pickup dropped in this frame has not been updated yet.
        ObjectList->ForEachObject([&](BaseObject* object) {
            auto* pickup = dynamic_cast<PickupObject*>(object);
            if (pickup != nullptr && pickup->age == 0.0f) {
                drops.push_back(Drop{frame * 0.02, pickup, pickup->GetKind()});
                EXPECT_TRUE(OnHalfGrid(pickup->position.x, -35.5f, 34.5f)) << pickup->position.x;
                EXPECT_TRUE(OnHalfGrid(pickup->position.y, -26.5f, 25.5f)) << pickup->position.y;
                EXPECT_EQ(pickup->lifetime, 10.0f);
            }
        });
        if (frame == 7500) {
            HoldKey(SDL_SCANCODE_Q);
        }
    };
    EXPECT_FALSE(PlayLevel(level));

    ASSERT_GE(drops.size(), 7u);
    EXPECT_GE(drops[0].seconds, 5.0);
    EXPECT_LE(drops[0].seconds, 20.0 + 0.021);
    bool kindsSeen[4] = {};
    for (size_t i = 0; i < drops.size(); ++i) {
        kindsSeen[static_cast<int>(drops[i].kind)] = true;
        if (i > 0) {
            double gap = drops[i].seconds - drops[i - 1].seconds;
            EXPECT_GE(gap, 5.0 - 1e-9) << i;
            EXPECT_LE(gap, 20.0 + 0.021) << i;
            EXPECT_NE(drops[i].kind, drops[i - 1].kind) << "drop " << i;
        }
    }
    EXPECT_TRUE(kindsSeen[0] && kindsSeen[1] && kindsSeen[2] && kindsSeen[3]);

    for (int last = 0; last <= 4; ++last) {
        for (int drawn = 1; drawn <= 4; ++drawn) {
            int kind = NoRepeatPowerUpKind(drawn, last);
            EXPECT_EQ(kind, drawn == last ? drawn % 4 + 1 : drawn) << drawn << " after " << last;
        }
    }
}

TEST_F(LevelLoopTest, ALostShipComesBackOnlyOnceItsWreckIsGone) {
    ObjectList->AddObject(new UntouchableRock);
    int lostAt = -1;
    int backAt = -1;
    scene.step = [&](int frame) {
        if (frame == 0) {
            CrashShip();
            return;
        }
        if (lostAt < 0) {
            lostAt = frame;
            EXPECT_EQ(Ship(), nullptr) << "lost in the frame of the crash";
            EXPECT_FALSE(session().shipActive);
            EXPECT_EQ(session().lives, 2);
        }
        if (Ship() == nullptr) {
            EXPECT_TRUE(ActiveExplosion()) << "no ship only while the wreck flies, frame " << frame;
        } else if (backAt < 0) {
            backAt = frame;
            EXPECT_TRUE(session().shipActive);
            EXPECT_EQ(Ship()->position.x, 0.0f);
            EXPECT_FALSE(Ship()->vulnerable) << "a new ship starts shielded";
            EXPECT_FALSE(ActiveExplosion());
            HoldKey(SDL_SCANCODE_Q);
        }
    };
    EXPECT_FALSE(PlayLevel(level));
    // The wreck lasts 0.75 s: 37.5 frames of 20 ms.
    EXPECT_EQ(backAt - lostAt, 38);
    EXPECT_EQ(session().lives, 2);
}

// The ship and the last asteroid lost in one frame: the level waits for the wreck, then
// completes with a new ship, or is lost when that was the last life.
class LastAsteroidAndShipTogether : public LevelLoopTest,
                                    public ::testing::WithParamInterface<int32_t> {};

TEST_P(LastAsteroidAndShipTogether, WaitForTheWreckThenEndByTheLivesLeft) {
    session().lives = GetParam();
    bool lastLife = GetParam() == 0;
    int endedAfter = -1;
    scene.step = [&](int frame) {
        endedAfter = frame;
        if (frame == 0) {
            CrashShip();
        }
    };
    EXPECT_EQ(PlayLevel(level), !lastLife);
    EXPECT_EQ(endedAfter, 38) << "the frame in which the wreck was gone ends the level";
    EXPECT_EQ(session().lives, GetParam() - 1);
    EXPECT_EQ(Ship() != nullptr, !lastLife) << "a new ship comes in the completing frame";
}

INSTANTIATE_TEST_SUITE_P(LivesLeft, LastAsteroidAndShipTogether, ::testing::Values(2, 0));

TEST_F(LevelLoopTest, EscapeDoesNothingAndQWhileThrustingSilencesTheEngineAndLoses) {
    ObjectList->AddObject(new UntouchableRock);
    scene.step = [&](int frame) {
        if (frame == 0) {
            HoldKey(SDL_SCANCODE_ESCAPE);
            HoldKey(SDL_SCANCODE_UP);
        }
        if (frame == 50) {
            EXPECT_TRUE(Ship()->thrusting);
            EXPECT_TRUE(Ship()->flame->emitting);
            HoldKey(SDL_SCANCODE_Q);
        }
    };
    EXPECT_FALSE(PlayLevel(level));
    EXPECT_EQ(scene.frames.size(), 52u) << "Escape held for 50 frames changed nothing";
    ASSERT_NE(Ship(), nullptr);
    EXPECT_FALSE(Ship()->thrusting);
    EXPECT_FALSE(Ship()->flame->emitting);
    std::vector<std::string> engine = SourceCalls(GameScene::ThrustSource);
    ASSERT_GE(engine.size(), 2u);
    EXPECT_EQ(engine.front(), "alSourcePlay");
    EXPECT_EQ(engine.back(), "alSourceStop");
    EXPECT_FALSE(session().shipActive);
    EXPECT_EQ(ObjectList->Count(), 1) << "only the ship stays for the next level";
}

TEST_F(LevelLoopTest, ControlsReachTheShipAndEveryShotThatLeavesCounts) {
    ObjectList->AddObject(new UntouchableRock);
    double headingAfterLeft = 0.0;
    scene.step = [&](int frame) {
        switch (frame) {
            case 0:
                Ship()->weapon = Weapon::Spread;
                Ship()->fireInterval = 300.0f;
                HoldKey(SDL_SCANCODE_SPACE);
                HoldKey(SDL_SCANCODE_LEFT);
                break;
            case 25:
                headingAfterLeft = Ship()->heading;
                ReleaseKey(SDL_SCANCODE_LEFT);
                HoldKey(SDL_SCANCODE_RIGHT);
                break;
            case 49:
                ReleaseKey(SDL_SCANCODE_SPACE);
                HoldKey(SDL_SCANCODE_Q);
                break;
        }
    };
    EXPECT_FALSE(PlayLevel(level));
    // A key pushed after frame n is seen by frame n + 1's controls and turns the ship by 3.6
    // degrees in each update from frame n + 2 on: Left in frames 2 to 26, Right in 27 to 50.
    EXPECT_NEAR(headingAfterLeft, 23 * 3.6, 1e-3) << "Left turns counter-clockwise";
    EXPECT_NEAR(Ship()->heading, (25 - 24) * 3.6, 1e-3) << "Right turns back";
    // The ship fires after 300, 600 and 900 ms of the second it was held.
    EXPECT_EQ(level.shotsFired, 3);
    EXPECT_EQ(SourceCalls(GameScene::LaserSource), std::vector<std::string>(3, "alSourcePlay"));
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
