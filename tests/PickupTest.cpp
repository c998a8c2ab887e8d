#include <gtest/gtest.h>

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
    pickup->Update(10.0f);
    EXPECT_EQ(pickup->GetState(), ObjectState::Active);
    pickup->Update(0.001f);
    EXPECT_EQ(pickup->GetState(), ObjectState::Dead);
}

TEST_F(PickupTest, OnlyTheShipCollectsAndAShieldedShipSweepsUpAsteroidsUnharmed) {
    auto* invuln = Add(new InvulnObject(Vec2{}, 10.0f));
    Add(new MediumAsteroidObject(Vec3{}, Vec3{0.0f, 0.0f, PlayFieldZ}, 0.0f));
    Add(new BaseBullet(Vec2{0.0f, 1.0f}, Vec2{}, Vec2{0.0f, 0.0f}, 0.0f, 1.0f));
    RunFrame(0.0f);
    EXPECT_EQ(invuln->GetState(), ObjectState::Active);
    EXPECT_EQ(session.score, 500u) << "the bullet broke the asteroid only";

    auto* ship = Add(new ShipObject);
    ship->invulnerableTime = 20.0f;
    RunFrame(0.0f);
    EXPECT_EQ(invuln->GetState(), ObjectState::Hit);
    EXPECT_EQ(session.score, 500u + 5000u + 5 * 750u) << "and the ship swept up the pieces";
    EXPECT_EQ(ship->GetState(), ObjectState::Active);
    EXPECT_EQ(ship->invulnerableTime, 10000.0f);

    Add(new LongRangeObject(Vec2{}, 10.0f));
    Add(new SpreadObject(Vec2{}, 10.0f));
    Add(new StarburstObject(Vec2{}, 10.0f));
    RunFrame(0.0f);
    EXPECT_EQ(session.score, 500u + 5000u + 5 * 750u + 3 * 2500u) << "2500 for each weapon";
    ship->vulnerable = true;  // once the shield has run out, another pickup brings it back
    InvulnObject another(Vec2{}, 10.0f);
    ship->OnCollide(&another);
    EXPECT_FALSE(ship->vulnerable);
}
