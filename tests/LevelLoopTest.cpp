#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <set>
#include <vector>

#include "game/LevelLoop.h"
#include "render/AssetCatalogue.h"
#include "tests/support/GameScene.h"
#include "tests/support/PlayField.h"
#include "world/ObjectList.h"
#include "world/PickupObject.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"

namespace {

bool ActiveExplosion() {
    std::vector<BaseObject*> explosions = ObjectsOfKind(ObjectKind::Explosion);
    return std::any_of(explosions.begin(), explosions.end(),
                       [](BaseObject* wreck) { return wreck->GetState() == ObjectState::Active; });
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

    GameScene scene;
    Level level;
};

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
                EXPECT_TRUE(OnFieldGrid(pickup->position))
                    << pickup->position.x << ", " << pickup->position.y;
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

void PrintTo(const Crash& crash, std::ostream* out) {
    *out << (crash.asteroidLeft ? "asteroid left, " : "last asteroid lost, ") << crash.lives
         << " lives";
}

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
