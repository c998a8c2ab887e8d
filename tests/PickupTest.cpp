#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/PlayField.h"
#include "world/BaseBullet.h"
#include "world/InvulnObject.h"
#include "world/LongRangeObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/SpreadObject.h"
#include "world/StarburstObject.h"

using PickupTest = PlayFieldTest;

TEST_F(PickupTest, APickupWhoseAgeEqualsItsLifetimeIsStillActive) {
    auto* pickup = Add(new SpreadObject(Vec2{3.0f, -2.0f}, 10.0f));
    EXPECT_EQ(pickup->GetCollisionMask(), HitsShip);
    EXPECT_EQ(pickup->body.circles[0].radius, 0.95f);
    EXPECT_EQ(pickup->position.z, PlayFieldZ);
    pickup->Update(5.0f);
    pickup->Update(5.0f);
    EXPECT_EQ(pickup->GetState(), ObjectState::Active);
    pickup->Update(0.001f);
    EXPECT_EQ(pickup->GetState(), ObjectState::Dead);
}

TEST_F(PickupTest, CollectingInvulnerabilityScoresAndShieldsTheShip) {
    auto* ship = Add(new ShipObject);
    ship->vulnerable = true;
    ship->invulnerableTime = -1.0f;
    auto* pickup = Add(new InvulnObject(Vec2{1.0f, 1.0f}, 10.0f));
    RunFrame(0.01f);
    EXPECT_EQ(pickup->GetState(), ObjectState::Hit);
    EXPECT_EQ(session.score, 5000u);
    EXPECT_EQ(session.lives, 4) << "the first points of the game";
    EXPECT_EQ(LevelScore, 5000u);
    EXPECT_EQ(ship->invulnerableTime, 10000.0f);
    EXPECT_FALSE(ship->vulnerable);
    RunFrame(0.01f);
    EXPECT_EQ(ObjectList->Count(), 1);

    Add(new LongRangeObject(Vec2{}, 10.0f));
    Add(new StarburstObject(Vec2{}, 10.0f));
    RunFrame(0.01f);
    EXPECT_EQ(session.score, 10000u);
}

TEST_F(PickupTest, APickupThatRanOutThisFrameCanNoLongerBeCollected) {
    auto* ship = Add(new ShipObject);
    auto* pickup = Add(new LongRangeObject(Vec2{}, 10.0f));
    pickup->age = 9.99f;
    RunFrame(0.02f);
    EXPECT_EQ(ship->weapon, Weapon::Normal);
    EXPECT_EQ(session.score, 0u);
    EXPECT_EQ(ObjectList->Count(), 1);
}

TEST_F(PickupTest, OnlyTheShipCanTouchAPickup) {
    auto* pickup = Add(new StarburstObject(Vec2{}, 10.0f));
    Add(new MediumAsteroidObject(Vec3{}, Vec3{0.0f, 0.0f, PlayFieldZ}, 0.0f));
    Add(new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{10.0f, 10.0f}, 0.0f, 1.0f));
    Add(new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{0.0f, 0.0f}, 0.0f, 1.0f));
    RunFrame(0.0f);
    EXPECT_EQ(pickup->GetState(), ObjectState::Active);
    EXPECT_EQ(session.score, 500u) << "the bullet broke the asteroid only";
}

TEST_F(PickupTest, PickupsRockOrTurnOverTheirLife) {
    InvulnObject invuln(Vec2{}, 10.0f);
    LongRangeObject longRange(Vec2{}, 10.0f);
    SpreadObject spread(Vec2{}, 10.0f);
    StarburstObject starburst(Vec2{}, 10.0f);
    EXPECT_EQ(invuln.WobbleAngle(), 0.0f);
    EXPECT_EQ(longRange.WobbleAngle(), 0.0f);
    EXPECT_EQ(spread.WobbleAngle(), 0.0f);
    EXPECT_EQ(starburst.WobbleAngle(), 0.0f);

    spread.Update(5.0f);
    EXPECT_EQ(spread.WobbleAngle(), 180.0f);
    invuln.Update(2.5f);
    EXPECT_FLOAT_EQ(invuln.WobbleAngle(), 6.0f * std::sin(45.0f * 0.25f));
    EXPECT_EQ(invuln.points, 5000);
    EXPECT_EQ(longRange.points, 2500);
    EXPECT_EQ(spread.points, 2500);
    EXPECT_EQ(starburst.GetKind(), ObjectKind::Starburst);
}
