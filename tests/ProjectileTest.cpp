#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/PlayField.h"
#include "world/BaseBullet.h"
#include "world/LargeAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/StarBullet.h"
#include "world/StarFlak.h"
#include "world/StarSpawner.h"

namespace {

BaseBullet* BulletAt(float x, float y, Vec2 base = Vec2{}, float lifetime = 0.4f) {
    return new BaseBullet(Vec2{1.0f, 0.0f}, base, Vec2{x, y}, -90.0f, lifetime);
}

}  // namespace

using ProjectileTest = PlayFieldTest;

TEST_F(ProjectileTest, ABulletFliesItsLifetimeAtSeventyPlusTheShootersSpeedAndThenDies) {
    auto* still = Add(BulletAt(-20.0f, 0.0f));
    auto* moving = Add(BulletAt(-30.0f, 10.0f, Vec2{60.0f, 0.0f}));
    EXPECT_EQ(still->GetKind(), ObjectKind::Projectile);
    EXPECT_EQ(still->GetCollisionMask(), HitsAsteroids);
    EXPECT_EQ(still->body.circles[0].radius, 0.6f);
    EXPECT_EQ(still->body.angle, -90.0f);

    still->Update(0.2f);
    EXPECT_EQ(still->GetState(), ObjectState::Active);
    still->Update(0.2f);
    EXPECT_FLOAT_EQ(still->position.x, 8.0f) << "28 units in 0.4 s";
    EXPECT_EQ(still->GetState(), ObjectState::Dead) << "its age reached its lifetime exactly";

    moving->Update(0.4f);
    EXPECT_FLOAT_EQ(moving->position.x, 22.0f) << "130 x 0.4 = 52 units";
    EXPECT_EQ(moving->body.centreX, moving->position.x);
    EXPECT_EQ(moving->GetState(), ObjectState::Dead);
}

TEST_F(ProjectileTest, ABulletWrapsBeyondItsMarginOfPointSix) {
    auto* bullet = Add(BulletAt(36.1f - 70.0f * 0.01f, 0.0f));
    bullet->Update(0.01f);
    EXPECT_FLOAT_EQ(bullet->position.x, 36.1f);
    bullet->position.x = 36.1f;
    bullet->velocity.x = 0.0f;
    bullet->Update(0.01f);
    EXPECT_EQ(bullet->position.x, 36.1f) << "exactly on the margin stays";
    bullet->velocity.x = 70.0f;
    bullet->Update(0.01f);
    EXPECT_EQ(bullet->position.x, -36.1f);
}

TEST_F(ProjectileTest, ABulletEndsOnItsFirstAsteroidWithoutMovingAgain) {
    Add(new LargeAsteroidObject(Vec3{}, Vec3{5.0f, 0.0f, PlayFieldZ}, 0.0f));
    Add(new LargeAsteroidObject(Vec3{}, Vec3{5.5f, 0.0f, PlayFieldZ}, 0.0f));
    auto* bullet = Add(BulletAt(5.2f, 0.0f));
    RunFrame(0.0f);
    EXPECT_EQ(bullet->GetState(), ObjectState::Hit);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::MediumAsteroid).size(), 3u) << "only one asteroid broke";
    RunFrame(0.1f);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::Projectile).size(), 0u);
}

TEST_F(ProjectileTest,
       AStarburstShotThatStrikesBurstsWhereItStruckAFrameAndThenPointTwoSecondsLater) {
    time->SetCalendar(1700000123);
    std::srand(1700000123);
    int base = std::rand() % 360;

    Add(new LargeAsteroidObject(Vec3{}, Vec3{3.0f, 4.0f, PlayFieldZ}, 0.0f));
    Add(new StarBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{3.0f, 3.0f}, 0.0f, 0.4f));
    RunFrame(0.01f);  // the shot moves to 3.7 and strikes
    EXPECT_EQ(ObjectsOfKind(ObjectKind::Projectile).size(), 1u) << "no spawner yet";

    RunFrame(0.1f);
    std::vector<BaseObject*> projectiles = ObjectsOfKind(ObjectKind::Projectile);
    ASSERT_EQ(projectiles.size(), 1u);
    auto* spawner = dynamic_cast<StarSpawner*>(projectiles[0]);
    ASSERT_NE(spawner, nullptr);
    EXPECT_FLOAT_EQ(spawner->position.y, 3.7f) << "the struck shot did not move again";
    EXPECT_EQ(spawner->elapsed, 0.0f) << "made during the update pass, not updated in it";
    EXPECT_EQ(spawner->GetCollisionMask(), 0);
    EXPECT_TRUE(spawner->body.circleCount == 0);

    RunFrame(0.1f);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::Projectile).size(), 1u) << "0.1 s is not yet the delay";
    RunFrame(0.1f);
    std::vector<BaseObject*> fragments = ObjectsOfKind(ObjectKind::Projectile);
    ASSERT_EQ(fragments.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        auto* flak = dynamic_cast<StarFlak*>(fragments[7 - i]);
        ASSERT_NE(flak, nullptr);
        float angle = static_cast<float>(base + 45 * i);
        if (angle >= 360.0f) {
            angle -= 360.0f;
        }
        EXPECT_EQ(flak->angle, angle) << i;
        Vec2 direction = FacingOf(angle);
        EXPECT_FLOAT_EQ(flak->velocity.x, 71.0f * direction.x);
        EXPECT_FLOAT_EQ(flak->velocity.y, 71.0f * direction.y);
        EXPECT_EQ(flak->lifetime, 0.1f);
        EXPECT_FLOAT_EQ(flak->position.x, 3.0f);
        EXPECT_FLOAT_EQ(flak->position.y, 3.7f);
        EXPECT_EQ(flak->GetCollisionMask(), HitsAsteroids);
    }
}

TEST_F(ProjectileTest, AStarburstShotThatExpiresBurstsAtTheEndOfItsFlight) {
    Add(new StarBullet(Vec2{1.0f, 0.0f}, Vec2{}, Vec2{0.0f, 0.0f}, -90.0f, 0.4f));
    RunFrame(0.4f);
    std::vector<BaseObject*> projectiles = ObjectsOfKind(ObjectKind::Projectile);
    ASSERT_EQ(projectiles.size(), 1u);
    ASSERT_NE(dynamic_cast<StarSpawner*>(projectiles[0]), nullptr);
    EXPECT_FLOAT_EQ(projectiles[0]->GetPosition().x, 28.0f);
}

TEST_F(ProjectileTest, ASpawnerReseedsWithTheCalendarOnEveryUpdate) {
    time->SetCalendar(1234567);
    std::srand(1234567);
    std::rand();
    int second = std::rand();

    auto* spawner = Add(new StarSpawner(Vec2{}, 0.2f));
    std::srand(42);
    spawner->Update(0.01f);
    EXPECT_EQ(std::rand(), second);
    std::srand(42);
    spawner->Update(0.01f);
    EXPECT_EQ(std::rand(), second) << "and again before the delay has passed";
    EXPECT_EQ(ObjectList->Count(), 1);
}

TEST_F(ProjectileTest, FreshFragmentsStrikeAnAsteroidAtTheBurstPointButNeverTheShip) {
    auto* ship = Add(new ShipObject);
    ship->vulnerable = true;
    Add(new LargeAsteroidObject(Vec3{}, Vec3{20.0f, 0.0f, PlayFieldZ}, 0.0f));
    auto* spawnerOnShip = Add(new StarSpawner(Vec2{0.0f, 0.0f}, 0.0f));
    auto* spawnerOnRock = Add(new StarSpawner(Vec2{20.0f, 0.0f}, 0.0f));
    RunFrame(0.01f);
    EXPECT_EQ(spawnerOnShip->GetState(), ObjectState::Dead);
    EXPECT_EQ(spawnerOnRock->GetState(), ObjectState::Dead);
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
    // Each fragment at the rock ends on the large asteroid or on a piece it broke into.
    EXPECT_EQ(AsteroidsShot, 8);
    int spentAtRock = 0;
    int spentAtShip = 0;
    for (BaseObject* fragment : ObjectsOfKind(ObjectKind::Projectile)) {
        if (fragment->GetState() == ObjectState::Hit) {
            (fragment->GetPosition().x > 10.0f ? spentAtRock : spentAtShip) += 1;
        }
    }
    EXPECT_EQ(spentAtRock, 8);
    EXPECT_EQ(spentAtShip, 0) << "fragments touch neither each other nor the ship";
}
