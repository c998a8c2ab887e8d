#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/PlayField.h"
#include "world/ExplosionObject.h"
#include "world/HugeAsteroidObject.h"
#include "world/LongRangeObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SpreadObject.h"
#include "world/StarBullet.h"
#include "world/StarburstObject.h"

TEST(ShipMotion, TheSpeedLimitAndHeadingWrapStayFiniteAfterAVeryLongFrame) {
    Vec2 wide = LimitShipSpeed(Vec2{70.0f, 20.0f}, Vec2{-1.0f, 0.0f}, 60.0f);
    EXPECT_EQ(wide.y, 20.0f);
    EXPECT_FLOAT_EQ(wide.x, -std::sqrt(3200.0f)) << "the sign of the previous x";
    Vec2 clamped = LimitShipSpeed(Vec2{192.8f, 229.8f}, Vec2{}, 60.0f);
    EXPECT_EQ(clamped.x, 60.0f) << "kept, but clamped to 60 before the root";
    EXPECT_EQ(clamped.y, 0.0f);

    EXPECT_EQ(WrapHeading(1234.5f), 154.5f);
    EXPECT_EQ(WrapHeading(-725.25f), -5.25f);
    EXPECT_FALSE(std::signbit(WrapHeading(-360.0f))) << "+0, as repeated addition gives";
    EXPECT_LT(std::fabs(WrapHeading(3.4e38f)), 360.0f) << "where subtraction would loop for ever";
}

using ShipTest = PlayFieldTest;

TEST_F(ShipTest, StartsAsideOfTheHugeAsteroidNearTheMiddleAndResetsToTheCentre) {
    auto* huge = Add(new HugeAsteroidObject(Vec3{}, Vec3{10.0f, 0.0f, PlayFieldZ}, 0.0f));
    auto* ship = Add(new ShipObject);
    EXPECT_EQ(ship->position.x, 30.0f);
    huge->position.x = 19.0f;
    EXPECT_EQ(Add(new ShipObject)->position.x, 0.0f);
    ship->vulnerable = true;
    ship->ResetShip();
    EXPECT_EQ(ship->position.x, 0.0f);
    EXPECT_FALSE(ship->vulnerable);
}

TEST_F(ShipTest, ThrustAcceleratesWithoutDragAndTurningAtTheLimitKeepsTheSpeedAtSixty) {
    auto* ship = Add(new ShipObject);
    ship->thrusting = true;
    ship->Update(0.5f);
    EXPECT_EQ(ship->velocity.y, 15.0f) << "30 units per second per second along the heading";
    EXPECT_EQ(ship->position.y, 3.75f) << "moved at the mean of the old and new velocity";
    ship->thrusting = false;
    ship->Update(1.0f);
    EXPECT_EQ(ship->velocity.y, 15.0f) << "coasting loses nothing";
    EXPECT_EQ(ship->position.y, 18.75f);

    ship->heading = -90.0f;
    ship->velocity = Vec3{60.0f, 0.0f, 0.0f};
    ship->thrusting = true;
    for (int frame = 0; frame < 330; ++frame) {
        ship->turnCounterClockwise = frame < 30;  // a quarter turn, then straight on
        ship->Update(1.0f / 60.0f);
        EXPECT_NEAR(std::hypot(ship->velocity.x, ship->velocity.y), 60.0f, 1e-3f) << frame;
    }
    EXPECT_GT(ship->velocity.y, 40.0f) << "the motion has swung towards +y";
}

TEST_F(ShipTest, TheStickTurnsOutsideItsDeadZoneAndThenOverridesTheKeys) {
    auto* ship = Add(new ShipObject);
    ship->analogTurn = 3.9f;
    ship->turnClockwise = true;
    ship->Update(0.5f);
    EXPECT_FLOAT_EQ(ship->heading, -90.0f) << "the stick is ignored, the key turns";
    ship->analogTurn = -5.0f;
    ship->Update(0.5f);
    EXPECT_FLOAT_EQ(ship->heading, -92.5f) << "5 degrees per second clockwise, keys ignored";
}

TEST_F(ShipTest, EachWeaponFiresAtItsOwnIntervalFromTheNose) {
    auto* ship = Add(new ShipObject);
    EXPECT_FALSE(ship->Fire()) << "no time has passed since creation";

    // Each pickup sets the interval (a shot half a millisecond early is refused), the number of
    // bullets and their lifetime. All leave the nose of a ship turned to face -x.
    ship->heading = 90.0f;
    ship->facing = Vec3{-1.0f, 0.0f, 0.0f};
    LongRangeObject longRange(Vec2{}, 10.0f);
    StarburstObject starburst(Vec2{}, 10.0f);
    SpreadObject spread(Vec2{}, 10.0f);
    struct Case {
        BaseObject* pickup;
        float interval;
        size_t bullets;
        float lifetime;
    };
    for (const Case& one : {Case{&longRange, 230.0f, 1, 0.6f}, Case{&starburst, 300.0f, 1, 0.4f},
                            Case{&spread, 300.0f, 3, 0.4f}}) {
        ship->OnCollide(one.pickup);
        ship->sinceShot = one.interval - 0.5f;
        EXPECT_FALSE(ship->Fire()) << one.interval;
        size_t before = ObjectsOfKind(ObjectKind::Projectile).size();
        ship->sinceShot = one.interval;
        ASSERT_TRUE(ship->Fire()) << one.interval;
        std::vector<BaseObject*> fired = ObjectsOfKind(ObjectKind::Projectile);
        ASSERT_EQ(fired.size() - before, one.bullets) << one.interval;
        EXPECT_EQ(static_cast<ProjectileObject*>(fired[0])->lifetime, one.lifetime);
        EXPECT_EQ(dynamic_cast<StarBullet*>(fired[0]) != nullptr, one.pickup == &starburst);
    }
    std::vector<BaseObject*> fired = ObjectsOfKind(ObjectKind::Projectile);
    const float angles[3] = {102.0f, 78.0f, 90.0f};  // made centre, -12, +12: the head is +12
    for (int i = 0; i < 3; ++i) {
        auto* bullet = static_cast<ProjectileObject*>(fired[i]);
        EXPECT_EQ(bullet->angle, angles[i]);
        EXPECT_FLOAT_EQ(bullet->position.x, -1.75f) << "all from the same nose";
        EXPECT_FLOAT_EQ(bullet->direction.x, i == 2 ? -1.0f : FacingOf(angles[i]).x);
    }
}

// Through the collision pass, which reports the ship and the huge asteroid to each other.
TEST_F(ShipTest, AnInvulnerableShipBouncesOffTheHugeAsteroidOnAlternateFrames) {
    Add(new HugeAsteroidObject(Vec3{-1.0f, -0.5f, 0.0f}, Vec3{20.0f, 0.0f, PlayFieldZ}, 0.0f));
    auto* ship = Add(new ShipObject);
    ship->position = Vec3{10.0f, 0.0f, PlayFieldZ};
    ship->velocity = Vec3{8.0f, 0.0f, 0.0f};
    // Reversed with the asteroid's drift added, kept, reversed again, kept.
    const float expected[4] = {-9.0f, -9.0f, 8.0f, 8.0f};
    for (float velocityX : expected) {
        RunFrame(0.1f);
        EXPECT_FLOAT_EQ(ship->position.x, 10.0f) << "every move into the asteroid is undone";
        EXPECT_FLOAT_EQ(ship->velocity.x, velocityX);
    }
    EXPECT_FLOAT_EQ(ship->velocity.y, 0.0f) << "-0.5 from the first reversal, +0.5 the second";
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
}

TEST_F(ShipTest, AVulnerableShipDiesOnContactLeavingOneWreckThatFliesThreeQuartersOfASecond) {
    auto* ship = Add(new ShipObject);
    for (int frame = 0; frame < 319; ++frame) {  // frames of 15.625 ms, exact in binary
        ship->Update(1.0f / 64.0f);
    }
    EXPECT_FALSE(ship->vulnerable) << "4984.375 ms after it appeared";
    ship->Update(1.0f / 64.0f);
    EXPECT_TRUE(ship->vulnerable) << "5000 ms";
    ship->thrusting = true;
    ship->flame->emitting = true;
    Add(new MediumAsteroidObject(Vec3{}, Vec3{1.0f, 1.0f, PlayFieldZ}, 0.0f));
    RunFrame(0.0f);
    EXPECT_EQ(ship->GetState(), ObjectState::Hit);
    EXPECT_FALSE(ship->flame->emitting) << "the engine is released with the ship";
    ASSERT_EQ(ObjectsOfKind(ObjectKind::Explosion).size(), 1u);
    BaseObject* wreck = ObjectsOfKind(ObjectKind::Explosion)[0];
    wreck->Update(0.5f);
    EXPECT_EQ(wreck->GetState(), ObjectState::Active);
    RunFrame(0.25f);
    EXPECT_TRUE(ObjectsOfKind(ObjectKind::Ship).empty());
    EXPECT_TRUE(ObjectsOfKind(ObjectKind::Explosion).empty());
}
