#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/PlayField.h"
#include "world/BaseBullet.h"
#include "world/LargeAsteroidObject.h"
#include "world/StarBullet.h"
#include "world/StarFlak.h"
#include "world/StarSpawner.h"

using ProjectileTest = PlayFieldTest;

TEST_F(ProjectileTest, ABulletFliesItsLifetimeWrapsBeyondItsMarginAndDiesAtItsLifetime) {
    auto* still = Add(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{}, Vec2{-20.0f, 0.0f}, -90.0f, 0.4f));
    auto* fast =
        Add(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{60.0f, 0.0f}, Vec2{-30.0f, 1.0f}, -90.0f, 0.4f));
    still->Update(0.2f);
    EXPECT_EQ(still->GetState(), ObjectState::Active);
    still->Update(0.2f);
    EXPECT_FLOAT_EQ(still->position.x, 8.0f) << "28 units in 0.4 s";
    EXPECT_EQ(still->GetState(), ObjectState::Active) << "in play for its last piece's pass";
    still->Update(0.2f);
    EXPECT_EQ(still->GetState(), ObjectState::Dead) << "its age reached its lifetime";
    EXPECT_FLOAT_EQ(still->position.x, 8.0f);
    fast->Update(0.5f);
    EXPECT_FLOAT_EQ(fast->position.x, 22.0f) << "130 x 0.4 = 52 units, and no further";

    auto* edge =
        Add(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{-69.0f, 0.0f}, Vec2{36.1f, 0.0f}, 0.0f, 1.0f));
    edge->Update(0.1f);
    EXPECT_EQ(edge->position.x, -36.1f) << "past the margin of 35.5 + 0.6, body and all";
    EXPECT_EQ(edge->body.centreX, -36.1f);
}

TEST_F(ProjectileTest, AStarburstShotBurstsWhereItStruckAFrameLaterAndItsStarPointTwoSecondsAfter) {
    time.SetCalendar(1700000123);
    std::srand(1700000123);
    int base = std::rand() % 360;
    int afterOneDraw = std::rand();  // where the generator stands after a spawner's update

    Add(new LargeAsteroidObject(Vec3{}, Vec3{3.0f, 4.0f, PlayFieldZ}, 0.0f));
    Add(new StarBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{3.0f, 3.0f}, 0.0f, 0.4f));
    RunFrame(0.01f);  // moves to 3.7 and strikes
    RunFrame(0.1f);
    std::vector<BaseObject*> projectiles = ObjectsOfKind(ObjectKind::Projectile);
    ASSERT_EQ(projectiles.size(), 1u);
    auto* spawner = dynamic_cast<StarSpawner*>(projectiles[0]);
    ASSERT_NE(spawner, nullptr);
    EXPECT_FLOAT_EQ(spawner->position.y, 3.7f) << "the struck shot did not move again";
    EXPECT_EQ(spawner->elapsed, 0.0f) << "made during the update pass, not updated in it";

    std::srand(99);
    RunFrame(0.1f);
    EXPECT_EQ(std::rand(), afterOneDraw) << "every update reseeds, even before the delay";
    RunFrame(0.1f);
    std::vector<BaseObject*> fragments = ObjectsOfKind(ObjectKind::Projectile);
    ASSERT_EQ(fragments.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        auto* flak = dynamic_cast<StarFlak*>(fragments[7 - i]);
        ASSERT_NE(flak, nullptr);
        float angle = static_cast<float>(base + 45 * i);
        EXPECT_EQ(flak->angle, angle >= 360.0f ? angle - 360.0f : angle) << i;
        EXPECT_FLOAT_EQ(flak->velocity.x, 71.0f * FacingOf(flak->angle).x);
        EXPECT_FLOAT_EQ(flak->position.y, 3.7f);
        EXPECT_EQ(flak->lifetime, 0.1f);
    }
}

TEST_F(ProjectileTest, FreshFragmentsStrikeAsteroidsAtTheBurstPointInTheSameFrame) {
    Add(new LargeAsteroidObject(Vec3{}, Vec3{20.0f, 0.0f, PlayFieldZ}, 0.0f));
    Add(new StarSpawner(Vec2{20.0f, 0.0f}, 0.0f));
    Add(new StarSpawner(Vec2{0.0f, 0.0f}, 0.0f));
    RunFrame(0.01f);
    int spent = 0;
    for (BaseObject* fragment : ObjectsOfKind(ObjectKind::Projectile)) {
        spent += fragment->GetState() == ObjectState::Hit ? 1 : 0;
    }
    EXPECT_EQ(spent, 8) << "each fragment at the rock ends on it or on a piece of it";
    EXPECT_EQ(AsteroidsShot, 8);
}
