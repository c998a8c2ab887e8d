#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/support/PlayField.h"
#include "world/BaseBullet.h"
#include "world/HugeAsteroidObject.h"
#include "world/LargeAsteroidObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"

namespace {

constexpr Vec3 Still{0.0f, 0.0f, 0.0f};

Vec3 At(float x, float y) {
    return Vec3{x, y, PlayFieldZ};
}

BaseBullet* BulletAt(float x, float y) {
    return new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{x, y}, 0.0f, 0.4f);
}

// The spin and velocity the design's formulas give for three raw draws at a speed factor.
struct ExpectedMotion {
    float spin;
    float vx;
    float vy;
};

ExpectedMotion FromDraws(int spinDraw, int xDraw, int yDraw, int speed) {
    auto component = [speed](int draw) {
        float value = static_cast<float>(draw % (speed * 200) - speed * 100) / 100.0f + 0.3f;
        return value == 0.0f ? 0.3f : value;
    };
    return ExpectedMotion{static_cast<float>((spinDraw % 1201) / 10), component(xDraw),
                          component(yDraw)};
}

}  // namespace

TEST(AsteroidRandom, SpinIsAWholeNumberOfDegreesUpTo120) {
    std::srand(99);
    for (int i = 0; i < 2000; ++i) {
        float spin = RandomAsteroidSpin();
        EXPECT_GE(spin, 0.0f);
        EXPECT_LE(spin, 120.0f);
        EXPECT_EQ(spin, std::floor(spin));
    }
}

TEST(AsteroidRandom, VelocityComponentsStayInRangeAndAreNeverZero) {
    std::srand(5);
    for (int i = 0; i < 2000; ++i) {
        Vec3 velocity = RandomAsteroidVelocity(3);
        for (float component : {velocity.x, velocity.y}) {
            EXPECT_GE(component, -2.7f - 1e-5f);
            EXPECT_LE(component, 3.29f + 1e-5f);
            EXPECT_NE(component, 0.0f);
        }
        EXPECT_EQ(velocity.z, 0.0f);
    }

    // Find a seed whose first draw lands on the raw value that would give exactly 0.0.
    unsigned seed = 0;
    for (;; ++seed) {
        std::srand(seed);
        if (std::rand() % 600 == 270) {
            break;
        }
    }
    std::srand(seed);
    EXPECT_EQ(RandomAsteroidVelocity(3).x, 0.3f);

    std::srand(seed);
    std::rand();
    int yDraw = std::rand();
    std::srand(seed);
    EXPECT_EQ(RandomAsteroidVelocity(3).y, FromDraws(0, 0, yDraw, 3).vy) << "x draws first";
}

TEST(AsteroidRandom, ASpeedFactorBelowOneStillTakesItsDrawsAndGivesPointThree) {
    std::srand(3);
    int third = (std::rand(), std::rand(), std::rand());
    std::srand(3);
    Vec3 velocity = RandomAsteroidVelocity(0);
    EXPECT_EQ(velocity.x, 0.3f);
    EXPECT_EQ(velocity.y, 0.3f);
    EXPECT_EQ(std::rand(), third);
}

using AsteroidTest = PlayFieldTest;

TEST_F(AsteroidTest, UpdateSpinsDriftsWrapsAndRefreshesTheBody) {
    auto* asteroid =
        Add(new MediumAsteroidObject(Vec3{2.0f, -1.0f, 0.0f}, At(36.0f, 0.0f), 100.0f));
    asteroid->Update(0.5f);
    EXPECT_FLOAT_EQ(asteroid->angle, 50.0f);
    EXPECT_EQ(asteroid->position.x, -35.5f - 0.95f) << "37 is beyond the margin of 0.95";
    EXPECT_FLOAT_EQ(asteroid->position.y, -0.5f);
    EXPECT_EQ(asteroid->position.z, PlayFieldZ);
    EXPECT_EQ(asteroid->body.centreX, asteroid->position.x);
    EXPECT_EQ(asteroid->body.centreY, asteroid->position.y);
    EXPECT_EQ(asteroid->body.angle, 50.0f);

    auto* huge = Add(new HugeAsteroidObject(Vec3{-1.15f, -0.85f, 0.0f}, At(35.0f, 25.0f), 270.0f));
    for (int frame = 0; frame < 200; ++frame) {
        huge->Update(0.37f);
        EXPECT_LT(huge->angle, 360.0f);
        EXPECT_GE(huge->angle, 0.0f);
    }
}

TEST_F(AsteroidTest, ImagesCycleOverEverySizeAcrossTheRun) {
    uint32_t first = AsteroidVariantCounter;
    auto* a = Add(new LargeAsteroidObject(Still, At(0, 0), 0.0f));
    auto* b = Add(new SmallAsteroidObject(Still, At(0, 0), 0.0f));
    auto* huge = Add(new HugeAsteroidObject(Still, At(0, 0), 0.0f));
    auto* c = Add(new MediumAsteroidObject(Still, At(0, 0), 0.0f));
    auto* d = Add(new LargeAsteroidObject(Still, At(0, 0), 0.0f));
    EXPECT_EQ(a->variant, first);
    EXPECT_EQ(b->variant, (first + 1) % 3);
    EXPECT_EQ(c->variant, (first + 2) % 3) << "the huge asteroid neither uses nor advances it";
    EXPECT_EQ(d->variant, first);
    EXPECT_EQ(huge->hitCount, 0u);
}

TEST_F(AsteroidTest, AShotMediumBreaksIntoFiveSmallAtItsCentreWithTheLevelsSpeed) {
    CurrentLevel = 14;  // speed factor 8
    auto* medium = Add(new MediumAsteroidObject(Still, At(4.0f, -3.0f), 0.0f));
    auto* bullet = Add(BulletAt(4.0f, -3.0f));

    std::srand(77);
    int draws[15];
    for (int& draw : draws) {
        draw = std::rand();
    }
    std::srand(77);
    uint32_t variant = AsteroidVariantCounter;
    medium->OnCollide(bullet);

    EXPECT_EQ(medium->GetState(), ObjectState::Hit);
    EXPECT_EQ(AsteroidsShot, 1);
    EXPECT_EQ(session.score, 500u);
    EXPECT_EQ(LevelScore, 500u);
    std::vector<BaseObject*> smalls = ObjectsOfKind(ObjectKind::SmallAsteroid);
    ASSERT_EQ(smalls.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        // The first child made is the deepest of the five below the head.
        auto* child = static_cast<SmallAsteroidObject*>(smalls[4 - i]);
        ExpectedMotion expected = FromDraws(draws[3 * i], draws[3 * i + 1], draws[3 * i + 2], 8);
        EXPECT_EQ(child->spin, expected.spin) << i;
        EXPECT_EQ(child->velocity.x, expected.vx) << i;
        EXPECT_EQ(child->velocity.y, expected.vy) << i;
        EXPECT_EQ(child->velocity.z, 0.0f);
        EXPECT_EQ(child->position.x, 4.0f);
        EXPECT_EQ(child->position.y, -3.0f);
        EXPECT_EQ(child->position.z, PlayFieldZ);
        EXPECT_EQ(child->variant, (variant + i) % 3);
        EXPECT_EQ(child->GetState(), ObjectState::Active);
        EXPECT_EQ(child->GetCollisionMask(), HitsShip | HitsProjectiles);
        EXPECT_EQ(child->body.circles[0].radius, 0.45f);
    }
}

TEST_F(AsteroidTest, TheShipBreaksAsteroidsAndScoresButDoesNotCountAsAShot) {
    auto* ship = Add(new ShipObject);
    auto* medium = Add(new MediumAsteroidObject(Still, At(0.0f, 0.0f), 0.0f));
    medium->OnCollide(ship);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::SmallAsteroid).size(), 5u);
    EXPECT_EQ(AsteroidsShot, 0);
    EXPECT_EQ(session.score, 500u);

    auto* large = Add(new LargeAsteroidObject(Still, At(0.0f, 0.0f), 0.0f));
    large->OnCollide(ship);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::MediumAsteroid).size(), 4u) << "three new and the old";
    EXPECT_EQ(session.score, 750u);
}

TEST_F(AsteroidTest, ASmallAsteroidBreaksIntoNothing) {
    auto* small = Add(new SmallAsteroidObject(Still, At(0.0f, 0.0f), 0.0f));
    auto* bullet = Add(BulletAt(0.0f, 0.0f));
    std::srand(8);
    int next = std::rand();
    std::srand(8);
    small->OnCollide(bullet);
    EXPECT_EQ(ObjectList->Count(), 2);
    EXPECT_EQ(session.score, 750u);
    EXPECT_EQ(AsteroidsShot, 1);
    EXPECT_EQ(std::rand(), next) << "nothing was drawn";
}

TEST_F(AsteroidTest, TheHugeAsteroidShedsEveryNinthHitWhereTheShotStruckAndDiesOnThe45th) {
    CurrentLevel = 15;
    auto* huge = Add(new HugeAsteroidObject(Vec3{-1.15f, -0.85f, 0.0f}, At(0.0f, 0.0f), 270.0f));
    auto* ship = Add(new ShipObject);
    ship->vulnerable = false;
    huge->OnCollide(ship);
    EXPECT_EQ(huge->hitCount, 0u) << "the ship bounces off and never counts";

    for (int hit = 1; hit <= 45; ++hit) {
        auto* bullet = Add(BulletAt(static_cast<float>(hit % 10), -2.0f));
        int largesBefore = static_cast<int>(ObjectsOfKind(ObjectKind::LargeAsteroid).size());
        huge->OnCollide(bullet);
        int shed = static_cast<int>(ObjectsOfKind(ObjectKind::LargeAsteroid).size()) - largesBefore;
        EXPECT_EQ(shed, hit % 9 == 0 ? 4 : 0) << hit;
        if (shed > 0) {
            for (int i = 0; i < 4; ++i) {
                BaseObject* large = ObjectList->ObjectAt(ObjectList->HeadPosition() - i);
                EXPECT_EQ(large->GetPosition().x, static_cast<float>(hit % 10)) << hit;
                EXPECT_EQ(large->GetPosition().y, -2.0f) << hit;
            }
        }
        EXPECT_EQ(huge->GetState(), hit < 45 ? ObjectState::Active : ObjectState::Hit) << hit;
    }
    EXPECT_EQ(ObjectsOfKind(ObjectKind::LargeAsteroid).size(), 20u);
    EXPECT_EQ(AsteroidsShot, 1);
    EXPECT_EQ(session.score, 0u) << "the huge asteroid awards nothing itself";
}
