#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <tuple>

#include "tests/support/PlayField.h"
#include "world/BaseBullet.h"
#include "world/HugeAsteroidObject.h"
#include "world/LargeAsteroidObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"

namespace {

Vec3 At(float x, float y) {
    return Vec3{x, y, PlayFieldZ};
}

BaseBullet* BulletAt(float x, float y) {
    return new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{x, y}, 0.0f, 0.4f);
}

}  // namespace

// At speed factor 3 a component is a whole number of hundredths from -2.7 to 3.29, never 0.
TEST(AsteroidRandom, SpinsAreWholeDegreesAndVelocitiesSpanTheirRangeButAreNeverZero) {
    std::srand(5);
    float lowest = 99.0f, highest = -99.0f;
    for (int i = 0; i < 1000; ++i) {
        float spin = RandomAsteroidSpin();
        EXPECT_TRUE(spin >= 0.0f && spin <= 120.0f && spin == std::floor(spin)) << spin;
        Vec3 velocity = RandomAsteroidVelocity(3);
        for (float component : {velocity.x, velocity.y}) {
            lowest = std::min(lowest, component);
            highest = std::max(highest, component);
        }
    }
    EXPECT_TRUE(lowest >= -2.7f - 1e-5f && lowest < -2.6f) << lowest;
    EXPECT_TRUE(highest <= 3.29f + 1e-5f && highest > 3.19f) << highest;
    unsigned seed = 0;  // a seed whose first draw is the raw value that would give 0.0
    do {
        std::srand(++seed);
    } while (std::rand() % 600 != 270);
    std::srand(seed);
    EXPECT_EQ(RandomAsteroidVelocity(3).x, 0.3f);
    EXPECT_EQ(RandomAsteroidVelocity(0).y, 0.3f) << "a speed below 1 must not divide by zero";
}

using AsteroidTest = PlayFieldTest;

TEST_F(AsteroidTest, DriftsAndSpinsByTheFrameTimeAndKeepsItsAngleBelowAFullTurn) {
    auto* medium = Add(new MediumAsteroidObject(Vec3{2.0f, -1.0f, 0.0f}, At(0.0f, 0.0f), 90.0f));
    for (int frame = 1; frame <= 8; ++frame) {
        RunFrame(0.5f);
        EXPECT_EQ(medium->position.x, 1.0f * frame) << frame;
        EXPECT_EQ(medium->position.y, -0.5f * frame) << frame;
        EXPECT_EQ(medium->angle, std::fmod(45.0f * frame, 360.0f)) << "360 drops to 0";
    }
}

TEST_F(AsteroidTest, AStruckMediumBreaksIntoFiveSmallAtItsCentreCountingOnlyShots) {
    CurrentLevel = 14;  // speed factor 8
    auto* medium = Add(new MediumAsteroidObject(Vec3{}, At(4.0f, -3.0f), 0.0f));
    uint32_t firstVariant = AsteroidVariantCounter;
    std::srand(77);
    medium->OnCollide(Add(BulletAt(0.0f, 0.0f)));
    EXPECT_EQ(medium->GetState(), ObjectState::Hit);
    EXPECT_EQ(AsteroidsShot, 1);
    EXPECT_EQ(session.score, 500u);
    std::vector<BaseObject*> smalls = ObjectsOfKind(ObjectKind::SmallAsteroid);
    ASSERT_EQ(smalls.size(), 5u);
    std::srand(77);  // each child in turn draws its spin, then its velocity at the level's speed
    for (int i = 0; i < 5; ++i) {  // the first made is the deepest
        auto* child = static_cast<SmallAsteroidObject*>(smalls[4 - i]);
        float spin = RandomAsteroidSpin();
        Vec3 v = RandomAsteroidVelocity(8);
        EXPECT_EQ(std::tie(child->spin, child->velocity.x, child->velocity.y, child->position.x,
                           child->position.y, child->variant),
                  std::make_tuple(spin, v.x, v.y, 4.0f, -3.0f, (firstVariant + i) % 3))
            << i;
    }

    ShipObject ship;
    Add(new LargeAsteroidObject(Vec3{}, At(0.0f, 0.0f), 0.0f))->OnCollide(&ship);
    static_cast<AsteroidObject*>(smalls[0])->OnCollide(&ship);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::MediumAsteroid).size(), 4u);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::SmallAsteroid).size(), 5u)
        << "a small one breaks into nothing";
    EXPECT_EQ(session.score, 500u + 250u + 750u) << "the ship's strikes score too";
    EXPECT_EQ(AsteroidsShot, 1) << "but are not counted as shots";
}

TEST_F(AsteroidTest, TheHugeAsteroidShedsEveryNinthHitWhereTheShotStruckAndBreaksOnThe45th) {
    CurrentLevel = 15;
    auto* huge = Add(new HugeAsteroidObject(Vec3{-1.15f, -0.85f, 0.0f}, At(0.0f, 0.0f), 270.0f));
    ShipObject ship;
    huge->OnCollide(&ship);
    EXPECT_EQ(huge->hitCount, 0u) << "the ship bounces off and never counts";
    for (int hit = 1; hit <= 45; ++hit) {
        size_t before = ObjectsOfKind(ObjectKind::LargeAsteroid).size();
        huge->OnCollide(Add(BulletAt(static_cast<float>(hit % 10), -2.0f)));
        std::vector<BaseObject*> larges = ObjectsOfKind(ObjectKind::LargeAsteroid);
        ASSERT_EQ(larges.size() - before, hit % 9 == 0 ? 4u : 0u) << hit;
        if (hit % 9 == 0) {
            EXPECT_EQ(larges[0]->GetPosition().x, static_cast<float>(hit % 10)) << hit;
            EXPECT_EQ(larges[3]->GetPosition().y, -2.0f) << hit;
        }
        EXPECT_EQ(huge->GetState(), hit < 45 ? ObjectState::Active : ObjectState::Hit) << hit;
    }
    EXPECT_EQ(AsteroidsShot, 1);
    EXPECT_EQ(session.score, 0u);
}
