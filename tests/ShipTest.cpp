#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/PlayField.h"
#include "world/BaseBullet.h"
#include "world/ExplosionObject.h"
#include "world/HugeAsteroidObject.h"
#include "world/LongRangeObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SpreadObject.h"

namespace {

float Speed(const ShipObject& ship) {
    return std::hypot(ship.velocity.x, ship.velocity.y);
}

}  // namespace

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
    ship->weapon = Weapon::Spread;
    ship->vulnerable = true;
    ship->ResetShip();
    EXPECT_EQ(ship->position.x, 0.0f);
    EXPECT_FALSE(ship->vulnerable);
    EXPECT_EQ(ship->weapon, Weapon::Spread) << "the weapon is kept from level to level";
}

TEST_F(ShipTest, TurningFromThrustAlongXToThrustAlongYKeepsTheSpeedAtSixty) {
    auto* ship = Add(new ShipObject);
    ship->heading = -90.0f;
    ship->velocity = Vec3{60.0f, 0.0f, 0.0f};
    ship->thrusting = true;
    ship->turnCounterClockwise = true;
    for (int frame = 0; frame < 330; ++frame) {
        ship->turnCounterClockwise = frame < 30;  // a quarter turn, then straight on
        ship->Update(1.0f / 60.0f);
        EXPECT_NEAR(Speed(*ship), 60.0f, 1e-3f) << frame;
    }
    EXPECT_GT(ship->velocity.y, 40.0f) << "the motion has swung towards +y";

    ship->heading = -40.0f;
    ship->velocity = Vec3{};
    ship->Update(10.0f);  // a very long frame from a standstill
    EXPECT_NEAR(Speed(*ship), 60.0f, 1e-3f);
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
    int shots = 0;
    for (int frame = 0; frame < 64; ++frame) {  // one second in frames of 15.625 ms
        ship->Update(1.0f / 64.0f);
        shots += ship->Fire() ? 1 : 0;
    }
    EXPECT_EQ(shots, 4);

    LongRangeObject longRange(Vec2{}, 10.0f);
    SpreadObject spread(Vec2{}, 10.0f);
    ship->OnCollide(&longRange);
    EXPECT_EQ(ship->fireInterval, 230.0f);
    ship->sinceShot = 230.0f;
    ASSERT_TRUE(ship->Fire());
    EXPECT_EQ(static_cast<BaseBullet*>(ObjectList->ObjectAt(ObjectList->HeadPosition()))->lifetime,
              0.6f);

    ship->OnCollide(&spread);
    EXPECT_EQ(ship->fireInterval, 300.0f);
    ship->heading = 90.0f;
    ship->facing = Vec3{-1.0f, 0.0f, 0.0f};
    ship->sinceShot = 300.0f;
    ASSERT_TRUE(ship->Fire());
    const float angles[3] = {102.0f, 78.0f, 90.0f};  // made centre, -12, +12: the head is +12
    for (int i = 0; i < 3; ++i) {
        auto* bullet =
            static_cast<BaseBullet*>(ObjectList->ObjectAt(ObjectList->HeadPosition() - i));
        EXPECT_EQ(bullet->angle, angles[i]);
        EXPECT_FLOAT_EQ(bullet->position.x, -1.75f) << "all from the same nose";
        EXPECT_FLOAT_EQ(bullet->direction.x, i == 2 ? -1.0f : FacingOf(angles[i]).x);
    }
}

TEST_F(ShipTest, AnInvulnerableShipBreaksAsteroidsAndBouncesOffTheHugeOneOnAlternateFrames) {
    Add(new MediumAsteroidObject(Vec3{}, Vec3{0.5f, 0.5f, PlayFieldZ}, 0.0f));
    auto* ship = Add(new ShipObject);
    session.ship = ship;
    RunFrame(0.01f);
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
    EXPECT_EQ(session.score, 500u);

    auto* huge =
        Add(new HugeAsteroidObject(Vec3{-1.0f, -0.5f, 0.0f}, Vec3{20.0f, 0.0f, PlayFieldZ}, 0.0f));
    ship->position = Vec3{2.5f, 0.0f, PlayFieldZ};
    ship->velocity = Vec3{8.0f, 0.0f, 0.0f};
    ship->Update(0.1f);
    ship->OnCollide(huge);
    EXPECT_EQ(ship->position.x, 2.5f) << "the move is undone";
    EXPECT_FLOAT_EQ(ship->velocity.x, -9.0f) << "reversed, plus the asteroid's drift";
    EXPECT_FLOAT_EQ(ship->velocity.y, -0.5f);
    ship->OnCollide(huge);
    EXPECT_FLOAT_EQ(ship->velocity.x, -9.0f) << "the second frame of contact only resets";
    ship->OnCollide(huge);
    EXPECT_FLOAT_EQ(ship->velocity.x, 8.0f);
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
}

TEST_F(ShipTest, AVulnerableShipDiesOnContactLeavingAWreck) {
    auto* ship = Add(new ShipObject);
    session.ship = ship;
    session.shipActive = true;
    ship->vulnerable = true;
    ship->thrusting = true;
    ship->flame->emitting = true;
    Add(new MediumAsteroidObject(Vec3{}, Vec3{1.0f, 1.0f, PlayFieldZ}, 0.0f));
    RunFrame(0.0f);
    EXPECT_EQ(ship->GetState(), ObjectState::Hit);
    EXPECT_EQ(session.lives, 3) << "one life lost, one gained with the asteroid's points";
    EXPECT_EQ(session.ship, nullptr);
    EXPECT_FALSE(session.shipActive);
    EXPECT_FALSE(ship->flame->emitting);
    ASSERT_EQ(OfKind(ObjectKind::Explosion).size(), 1u);
    EXPECT_EQ(static_cast<ExplosionObject*>(OfKind(ObjectKind::Explosion)[0])->duration, 0.75f);
    RunFrame(0.01f);
    EXPECT_EQ(OfKind(ObjectKind::Ship).size(), 0u);
}
