#include <gtest/gtest.h>

#include <cmath>

#include "game/CollisionPass.h"
#include "tests/support/PlayField.h"
#include "world/BaseBullet.h"
#include "world/ExplosionObject.h"
#include "world/HugeAsteroidObject.h"
#include "world/InvulnObject.h"
#include "world/LongRangeObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SpreadObject.h"
#include "world/StarBullet.h"
#include "world/StarburstObject.h"

namespace {

float Speed(const ShipObject& ship) {
    return std::hypot(ship.velocity.x, ship.velocity.y);
}

// Repeated subtraction and addition, the plain form of the heading wrap.
float WrapHeadingByLoop(float heading) {
    while (heading >= 360.0f) {
        heading -= 360.0f;
    }
    while (heading <= -360.0f) {
        heading += 360.0f;
    }
    return heading;
}

}  // namespace

TEST(ShipSpeedLimit, KeepsTheSmallerComponentAndRebuildsTheLargerToSixty) {
    Vec2 within = LimitShipSpeed(Vec2{30.0f, -40.0f}, Vec2{}, 60.0f);
    EXPECT_EQ(within.x, 30.0f);
    EXPECT_EQ(within.y, -40.0f);

    Vec2 wide = LimitShipSpeed(Vec2{70.0f, 20.0f}, Vec2{-1.0f, 0.0f}, 60.0f);
    EXPECT_EQ(wide.y, 20.0f);
    EXPECT_FLOAT_EQ(wide.x, -std::sqrt(3200.0f)) << "the sign of the previous x";

    Vec2 tall = LimitShipSpeed(Vec2{-20.0f, -70.0f}, Vec2{0.0f, 5.0f}, 60.0f);
    EXPECT_EQ(tall.x, -20.0f);
    EXPECT_FLOAT_EQ(tall.y, std::sqrt(3200.0f));
}

TEST(ShipSpeedLimit, AKeptComponentBeyondSixtyIsClampedInsteadOfGivingNaN) {
    Vec2 limited = LimitShipSpeed(Vec2{192.8f, 229.8f}, Vec2{}, 60.0f);
    EXPECT_EQ(limited.x, 60.0f);
    EXPECT_EQ(limited.y, 0.0f);
    limited = LimitShipSpeed(Vec2{-300.0f, -250.0f}, Vec2{-1.0f, -1.0f}, 60.0f);
    EXPECT_EQ(limited.x, -0.0f);
    EXPECT_EQ(limited.y, -60.0f);
}

TEST(ShipHeading, WrapsLikeRepeatedSubtractionAndEndsEvenForAbsurdHeadings) {
    for (float heading : {0.0f, 359.9f, 360.0f, 719.0f, 1234.5f, -360.0f, -725.25f, 40000.5f}) {
        float wrapped = WrapHeading(heading);
        EXPECT_EQ(wrapped, WrapHeadingByLoop(heading)) << heading;
        EXPECT_EQ(std::signbit(wrapped), std::signbit(WrapHeadingByLoop(heading))) << heading;
    }
    for (float heading : {1e12f, -1e12f, 3.4e38f}) {
        float wrapped = WrapHeading(heading);
        EXPECT_LT(wrapped, 360.0f);
        EXPECT_GT(wrapped, -360.0f);
    }
}

using ShipTest = PlayFieldTest;

TEST_F(ShipTest, ANewShipStartsInvulnerableAtTheCentreOrAsideOfTheHugeAsteroid) {
    auto* ship = Add(new ShipObject);
    EXPECT_EQ(ship->position.x, 0.0f);
    EXPECT_EQ(ship->GetCollisionMask(), HitsPickups | HitsAsteroids);
    EXPECT_EQ(ship->body.circles[0].radius, 1.75f);
    EXPECT_FALSE(ship->vulnerable);
    EXPECT_EQ(ship->invulnerableTime, 5000.0f);
    EXPECT_EQ(ship->fireInterval, 250.0f);
    EXPECT_EQ(ship->weapon, Weapon::Normal);
    ASSERT_NE(ship->flame, nullptr);
    EXPECT_EQ(ship->flame->capacity, 751);

    auto* huge = Add(new HugeAsteroidObject(Vec3{}, Vec3{25.0f, 0.0f, PlayFieldZ}, 0.0f));
    EXPECT_EQ(Add(new ShipObject)->position.x, 0.0f) << "x = 25 is clear of the middle";
    huge->position.x = 10.0f;
    auto* aside = Add(new ShipObject);
    EXPECT_EQ(aside->position.x, 30.0f);
    EXPECT_EQ(aside->body.centreX, 30.0f);
    huge->SetState(ObjectState::Hit);
    EXPECT_EQ(Add(new ShipObject)->position.x, 0.0f) << "no huge asteroid is active";

    aside->velocity = Vec3{3.0f, 4.0f, 0.0f};
    aside->heading = 90.0f;
    aside->weapon = Weapon::Spread;
    aside->fireInterval = 300.0f;
    aside->invulnerableTime = -10.0f;
    aside->vulnerable = true;
    aside->thrusting = true;
    aside->ResetShip();
    EXPECT_EQ(aside->position.x, 0.0f);
    EXPECT_EQ(aside->position.y, 0.0f);
    EXPECT_EQ(aside->heading, 0.0f);
    EXPECT_EQ(aside->velocity.x, 0.0f);
    EXPECT_FALSE(aside->thrusting);
    EXPECT_FALSE(aside->vulnerable);
    EXPECT_EQ(aside->invulnerableTime, 5000.0f);
    EXPECT_EQ(aside->weapon, Weapon::Spread) << "the weapon is kept from level to level";
    EXPECT_EQ(aside->fireInterval, 300.0f);
}

TEST_F(ShipTest, BecomesVulnerableAfterFiveSecondsOfItsOwnTime) {
    auto* ship = Add(new ShipObject);
    for (int frame = 0; frame < 79; ++frame) {
        ship->Update(1.0f / 16.0f);
    }
    EXPECT_FALSE(ship->vulnerable);
    ship->Update(1.0f / 16.0f);
    EXPECT_TRUE(ship->vulnerable);
}

TEST_F(ShipTest, TurningFromThrustAlongXToThrustAlongYKeepsTheSpeedAtSixty) {
    auto* ship = Add(new ShipObject);
    ship->heading = -90.0f;  // facing +x
    ship->velocity = Vec3{60.0f, 0.0f, 0.0f};
    ship->thrusting = true;
    ship->turnCounterClockwise = true;
    for (int frame = 0; frame < 30; ++frame) {  // a quarter turn in half a second
        ship->Update(1.0f / 60.0f);
        EXPECT_NEAR(Speed(*ship), 60.0f, 1e-3f) << frame;
    }
    EXPECT_NEAR(ship->heading, 0.0f, 1e-3f);
    ship->turnCounterClockwise = false;
    for (int frame = 0; frame < 300; ++frame) {
        ship->Update(1.0f / 60.0f);
        EXPECT_NEAR(Speed(*ship), 60.0f, 1e-3f) << frame;
    }
    EXPECT_GT(ship->velocity.y, 40.0f) << "the motion has swung towards +y";
}

TEST_F(ShipTest, AVeryLongFrameUnderThrustLeavesAFiniteVelocity) {
    auto* ship = Add(new ShipObject);
    ship->heading = -40.0f;
    ship->thrusting = true;
    ship->Update(10.0f);
    EXPECT_FALSE(std::isnan(ship->velocity.x));
    EXPECT_FALSE(std::isnan(ship->velocity.y));
    EXPECT_NEAR(Speed(*ship), 60.0f, 1e-3f);
    ship->Update(1.0f / 60.0f);
    EXPECT_TRUE(std::isfinite(ship->position.x));
    EXPECT_TRUE(std::isfinite(ship->position.y));
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

    ship->analogTurn = 0.0f;
    ship->turnCounterClockwise = true;
    ship->Update(0.5f);
    EXPECT_FLOAT_EQ(ship->heading, -92.5f) << "both keys cancel";
}

TEST_F(ShipTest, MovesWrapsAndRemembersWhereItWas) {
    auto* ship = Add(new ShipObject);
    ship->position = Vec3{37.0f, 3.0f, PlayFieldZ};
    ship->velocity = Vec3{2.0f, -4.0f, 0.0f};
    ship->heading = 45.0f;
    ship->Update(0.25f);
    EXPECT_EQ(ship->previousX, 37.0f);
    EXPECT_EQ(ship->previousY, 3.0f);
    EXPECT_EQ(ship->position.x, -37.25f) << "37.5 is beyond the margin of 1.75";
    EXPECT_EQ(ship->position.y, 2.0f);
    EXPECT_EQ(ship->body.centreX, -37.25f);
    EXPECT_EQ(ship->body.angle, 45.0f);
    EXPECT_FLOAT_EQ(ship->facing.x, -std::sqrt(0.5f));
    EXPECT_FLOAT_EQ(ship->facing.y, std::sqrt(0.5f));
}

TEST_F(ShipTest, TheNormalWeaponFiresOnceEvery250Milliseconds) {
    auto* ship = Add(new ShipObject);
    EXPECT_FALSE(ship->Fire()) << "no time has passed since creation";
    int shots = 0;
    for (int frame = 0; frame < 64; ++frame) {  // one second in frames of 15.625 ms
        ship->Update(1.0f / 64.0f);
        shots += ship->Fire() ? 1 : 0;
    }
    EXPECT_EQ(shots, 4);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::Projectile).size(), 4u);
}

TEST_F(ShipTest, EachWeaponFiresItsOwnShotsFromTheNose) {
    auto* ship = Add(new ShipObject);
    ship->position = Vec3{1.0f, 2.0f, PlayFieldZ};
    ship->heading = 90.0f;
    ship->facing = Vec3{-1.0f, 0.0f, 0.0f};
    ship->velocity = Vec3{0.0f, 10.0f, 0.0f};

    struct Case {
        ObjectKind pickup;
        float interval;
        size_t shots;
        float lifetime;
    };
    InvulnObject invuln(Vec2{}, 10.0f);
    LongRangeObject longRange(Vec2{}, 10.0f);
    SpreadObject spread(Vec2{}, 10.0f);
    StarburstObject starburst(Vec2{}, 10.0f);

    ship->sinceShot = 250.0f;
    ASSERT_TRUE(ship->Fire());
    auto* normal = static_cast<BaseBullet*>(Objects().front());
    EXPECT_EQ(normal->lifetime, 0.4f);
    EXPECT_FLOAT_EQ(normal->position.x, 1.0f - 1.75f);
    EXPECT_FLOAT_EQ(normal->position.y, 2.0f);
    EXPECT_FLOAT_EQ(normal->velocity.x, -70.0f);
    EXPECT_FLOAT_EQ(normal->velocity.y, 10.0f) << "shots inherit the ship's velocity";
    EXPECT_EQ(normal->angle, 90.0f);
    EXPECT_EQ(ship->sinceShot, 0.0f);

    ship->OnCollide(&longRange);
    EXPECT_EQ(ship->weapon, Weapon::LongRange);
    EXPECT_EQ(ship->fireInterval, 230.0f);
    ship->sinceShot = 229.0f;
    EXPECT_FALSE(ship->Fire());
    ship->sinceShot = 230.0f;
    ASSERT_TRUE(ship->Fire());
    EXPECT_EQ(static_cast<BaseBullet*>(Objects().front())->lifetime, 0.6f);

    ship->OnCollide(&starburst);
    EXPECT_EQ(ship->weapon, Weapon::Starburst);
    EXPECT_EQ(ship->fireInterval, 300.0f);
    ship->sinceShot = 300.0f;
    ASSERT_TRUE(ship->Fire());
    EXPECT_NE(dynamic_cast<StarBullet*>(Objects().front()), nullptr);

    ship->OnCollide(&spread);
    EXPECT_EQ(ship->weapon, Weapon::Spread);
    EXPECT_EQ(ship->fireInterval, 300.0f);
    int before = ObjectList->Count();
    ship->sinceShot = 300.0f;
    ASSERT_TRUE(ship->Fire());
    ASSERT_EQ(ObjectList->Count(), before + 3);
    // Made in the order centre, -12, +12, so from the head: +12, -12, centre.
    const float angles[3] = {102.0f, 78.0f, 90.0f};
    for (int i = 0; i < 3; ++i) {
        auto* bullet = static_cast<BaseBullet*>(Objects()[i]);
        EXPECT_EQ(bullet->angle, angles[i]);
        EXPECT_FLOAT_EQ(bullet->position.x, 1.0f - 1.75f) << "all from the same nose";
        EXPECT_FLOAT_EQ(bullet->position.y, 2.0f);
        Vec2 direction = i == 2 ? Vec2{-1.0f, 0.0f} : FacingOf(angles[i]);
        EXPECT_FLOAT_EQ(bullet->direction.x, direction.x);
        EXPECT_FLOAT_EQ(bullet->direction.y, direction.y);
    }

    ship->weapon = static_cast<Weapon>(4);
    ship->sinceShot = 1000.0f;
    EXPECT_FALSE(ship->Fire()) << "no such weapon";

    ship->invulnerableTime = 20.0f;
    ship->vulnerable = true;
    ship->OnCollide(&invuln);
    EXPECT_EQ(ship->invulnerableTime, 10000.0f);
    EXPECT_FALSE(ship->vulnerable);
}

TEST_F(ShipTest, AnInvulnerableShipBreaksAsteroidsAndSurvives) {
    Add(new MediumAsteroidObject(Vec3{}, Vec3{0.5f, 0.5f, PlayFieldZ}, 0.0f));
    auto* ship = Add(new ShipObject);
    RunFrame(0.01f);
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
    std::vector<BaseObject*> smalls = ObjectsOfKind(ObjectKind::SmallAsteroid);
    ASSERT_EQ(smalls.size(), 5u);
    for (BaseObject* small : smalls) {
        EXPECT_EQ(small->GetState(), ObjectState::Active)
            << "made after the ship's inner walk began";
    }
    EXPECT_EQ(session.score, 500u);
    EXPECT_EQ(session.lives, 4) << "3 and the extra life of the first points";
}

TEST_F(ShipTest, AnInvulnerableShipLaterInTheOuterWalkSweepsUpTheChildrenToo) {
    auto* ship = Add(new ShipObject);
    Add(new MediumAsteroidObject(Vec3{}, Vec3{0.5f, 0.5f, PlayFieldZ}, 0.0f));
    RunFrame(0.01f);
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
    std::vector<BaseObject*> smalls = ObjectsOfKind(ObjectKind::SmallAsteroid);
    ASSERT_EQ(smalls.size(), 5u);
    for (BaseObject* small : smalls) {
        EXPECT_EQ(small->GetState(), ObjectState::Hit);
    }
    EXPECT_EQ(session.score, 500u + 5 * 750u);
}

TEST_F(ShipTest, ItBouncesOffTheHugeAsteroidOnAlternateFramesUntilItIsVulnerable) {
    CurrentLevel = 15;
    auto* huge =
        Add(new HugeAsteroidObject(Vec3{-1.0f, -0.5f, 0.0f}, Vec3{20.0f, 0.0f, PlayFieldZ}, 0.0f));
    auto* ship = Add(new ShipObject);
    session.ship = ship;
    session.shipActive = true;
    ship->velocity = Vec3{8.0f, 0.0f, 0.0f};
    ship->position = Vec3{2.5f, 0.0f, PlayFieldZ};

    ship->Update(0.1f);  // now at 3.3, inside 16 + 1.75 of the asteroid's centre
    huge->Update(0.1f);
    ship->OnCollide(huge);
    EXPECT_EQ(ship->position.x, 2.5f) << "the move is undone";
    EXPECT_FLOAT_EQ(ship->velocity.x, -8.0f - 1.0f);
    EXPECT_FLOAT_EQ(ship->velocity.y, -0.5f);
    EXPECT_TRUE(ship->bounced);

    ship->OnCollide(huge);
    EXPECT_FLOAT_EQ(ship->velocity.x, -9.0f) << "the second frame of contact only resets";
    EXPECT_FALSE(ship->bounced);
    ship->OnCollide(huge);
    EXPECT_FLOAT_EQ(ship->velocity.x, 9.0f - 1.0f);
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
    EXPECT_EQ(huge->hitCount, 0u);

    ship->vulnerable = true;
    ship->thrusting = true;
    ship->flame->emitting = true;
    ship->OnCollide(huge);
    EXPECT_EQ(ship->GetState(), ObjectState::Hit);
    EXPECT_EQ(session.lives, 2);
    EXPECT_EQ(session.ship, nullptr);
    EXPECT_FALSE(session.shipActive);
    EXPECT_FALSE(ship->thrusting);
    EXPECT_FALSE(ship->flame->emitting);
    std::vector<BaseObject*> explosions = ObjectsOfKind(ObjectKind::Explosion);
    ASSERT_EQ(explosions.size(), 1u);
    EXPECT_EQ(explosions[0]->GetPosition().x, ship->position.x);
    EXPECT_EQ(static_cast<ExplosionObject*>(explosions[0])->duration, 0.75f);

    ship->Update(0.1f);
    EXPECT_EQ(ship->GetState(), ObjectState::Dead);
}

TEST_F(ShipTest, AVulnerableShipDiesOnAnyAsteroidInThePass) {
    auto* ship = Add(new ShipObject);
    session.ship = ship;
    ship->vulnerable = true;
    Add(new MediumAsteroidObject(Vec3{}, Vec3{1.0f, 1.0f, PlayFieldZ}, 0.0f));
    RunCollisionPass();
    EXPECT_EQ(ship->GetState(), ObjectState::Hit);
    EXPECT_EQ(session.lives, 2 + 1) << "one life lost, one gained with the asteroid's points";
    EXPECT_EQ(ObjectsOfKind(ObjectKind::SmallAsteroid).size(), 5u);
    EXPECT_EQ(ObjectsOfKind(ObjectKind::Explosion).size(), 1u);
}
