#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "tests/support/PlayField.h"
#include "world/ExplosionObject.h"
#include "world/FlameEmitter.h"
#include "world/ShipObject.h"

namespace {

int ActiveParticles(const FlameEmitter& flame) {
    int active = 0;
    for (const FlameParticle& particle : flame.particles) {
        active += particle.active ? 1 : 0;
    }
    return active;
}

const Vec3 Spawn{1.0f, 2.0f, PlayFieldZ};

}  // namespace

using FlameTest = PlayFieldTest;

TEST_F(FlameTest, TheShipsEmitterStartsEmptyWithRoomForEveryLivingParticle) {
    FlamePreviousTime = 5.0f;
    FlameEmitDebt = 3.0f;
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    EXPECT_EQ(flame.capacity, 751);
    EXPECT_EQ(flame.particles.size(), 751u);
    EXPECT_EQ(flame.vertices.size(), 751u);
    EXPECT_EQ(ActiveParticles(flame), 0);
    EXPECT_FALSE(flame.emitting);
    EXPECT_EQ(FlamePreviousTime, 0.0f);
    EXPECT_EQ(FlameEmitDebt, 0.0f);
    EXPECT_EQ(FlameColours[2].green, 0.55f);
}

TEST_F(FlameTest, ThrustHeldForASecondEmitsEveryOtherFrameAndNeverOverfillsThePool) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.emitting = true;
    int emitted = 0;
    int mostActive = 0;
    for (int frame = 0; frame < 64; ++frame) {  // one second in frames of 15.625 ms
        time->AdvanceMilliseconds(15.625);
        float debtBefore = FlameEmitDebt;
        flame.UpdateFlame(Spawn, 0.0f);
        if (debtBefore >= flame.emitInterval) {
            emitted +=
                static_cast<int>(std::round((debtBefore - FlameEmitDebt) / flame.emitInterval));
        }
        mostActive = std::max(mostActive, ActiveParticles(flame));
        EXPECT_LE(ActiveParticles(flame), flame.capacity);
    }
    // An update that pays off the debt does not add its own frame time, so at a steady frame
    // rate half the time is owed: about 375 particles a second.
    EXPECT_NEAR(emitted, 375, 12);
    EXPECT_LE(mostActive, 200);
}

TEST_F(FlameTest, ParticlesDriftBackWobbleFadeAndExpireAfterTheirLifetime) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.emitting = true;
    time->AdvanceMilliseconds(2.0);
    flame.UpdateFlame(Spawn, 30.0f);  // owes 2 ms
    time->AdvanceMilliseconds(8.0);
    flame.UpdateFlame(Spawn, 30.0f);  // pays one particle
    ASSERT_EQ(ActiveParticles(flame), 1);
    const FlameParticle& particle = flame.particles[0];
    EXPECT_EQ(particle.x, 1.0f);
    EXPECT_EQ(particle.heading, 30.0f);
    EXPECT_FLOAT_EQ(particle.birthTime, 0.010f - 1.5f * 0.002f) << "back-dated by its debt";

    flame.emitting = false;
    time->AdvanceMilliseconds(97.0);
    flame.UpdateFlame(Spawn, 90.0f);
    float age = FlameCurrentTime - particle.birthTime;
    EXPECT_FLOAT_EQ(age, 0.1f);
    double wobble = (4.0f * age * 360.0f + particle.phase) * 0.017453292;
    EXPECT_FLOAT_EQ(flame.vertices[0].x,
                    static_cast<float>(std::sin(wobble) * (age / 0.266f * 3.0f)));
    EXPECT_FLOAT_EQ(flame.vertices[0].y, -1.0f);
    EXPECT_EQ(flame.vertices[0].z, PlayFieldZ);
    EXPECT_FLOAT_EQ(particle.alpha, 1.0f - 0.1f / 0.266f);
    EXPECT_EQ(particle.heading, 30.0f) << "released thrust emits nothing new";
    EXPECT_EQ(ActiveParticles(flame), 1);

    time->AdvanceMilliseconds(200.0);
    flame.UpdateFlame(Spawn, 90.0f);
    EXPECT_EQ(ActiveParticles(flame), 0);
}

TEST_F(FlameTest, AParticleAtExactlyItsLifetimeIsStillAliveWithAlphaZero) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.particles[5].active = true;
    flame.particles[5].birthTime = 0.5f - 0.266f;
    time->AdvanceMilliseconds(500.0);
    flame.UpdateFlame(Spawn, 0.0f);
    ASSERT_EQ(FlameCurrentTime - flame.particles[5].birthTime, 0.266f);
    EXPECT_TRUE(flame.particles[5].active);
    EXPECT_EQ(flame.particles[5].alpha, 0.0f);
    time->AdvanceMilliseconds(1.0);
    flame.UpdateFlame(Spawn, 0.0f);
    EXPECT_FALSE(flame.particles[5].active);
}

TEST_F(FlameTest, SlotZeroReseedsTheGeneratorWithZeroSoItAlwaysLooksTheSame) {
    std::srand(0);
    float phase = static_cast<float>(std::rand() % 360);
    int colour = std::rand() % 4;
    int afterBoth = std::rand();

    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.emitting = true;
    for (unsigned seed : {11u, 2024u}) {
        std::srand(seed);
        time->AdvanceMilliseconds(1.5);
        flame.UpdateFlame(Spawn, 0.0f);
        time->AdvanceMilliseconds(1.0);
        flame.UpdateFlame(Spawn, 0.0f);
        ASSERT_EQ(ActiveParticles(flame), 1);
        EXPECT_EQ(flame.particles[0].phase, phase) << seed;
        EXPECT_EQ(flame.particles[0].red, FlameColours[colour].red) << seed;
        EXPECT_EQ(std::rand(), afterBoth) << seed;
        flame.emitting = false;
        time->AdvanceMilliseconds(300.0);
        flame.UpdateFlame(Spawn, 0.0f);
        ASSERT_EQ(ActiveParticles(flame), 0);
        flame.emitting = true;
        FlameEmitDebt = 0.0f;
    }
}

TEST_F(FlameTest, WhenEverySlotIsTakenTheDebtIsPaidAndNothingIsEmitted) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    time->AdvanceMilliseconds(100.0);
    for (FlameParticle& particle : flame.particles) {
        particle.active = true;
        particle.birthTime = 0.1f;
        particle.phase = 7.0f;
    }
    flame.emitting = true;
    FlameEmitDebt = 0.01f;
    flame.UpdateFlame(Spawn, 0.0f);
    EXPECT_EQ(ActiveParticles(flame), flame.capacity);
    EXPECT_LT(FlameEmitDebt, flame.emitInterval);
    EXPECT_GE(FlameEmitDebt, 0.0f);
    for (const FlameParticle& particle : flame.particles) {
        EXPECT_EQ(particle.phase, 7.0f);
    }
}

TEST_F(FlameTest, AnEnormousDebtAfterAVeryLongFrameIsPaidInOneUpdate) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.emitting = true;
    time->AdvanceMilliseconds(1.0);
    flame.UpdateFlame(Spawn, 0.0f);
    FlameEmitDebt = 5.0e6f;  // a frame of some two months with thrust held
    time->AdvanceMilliseconds(1.0);
    flame.UpdateFlame(Spawn, 0.0f);
    EXPECT_LT(FlameEmitDebt, flame.emitInterval);
    EXPECT_GE(FlameEmitDebt, 0.0f);
    EXPECT_EQ(ActiveParticles(flame), 0) << "all were back-dated beyond their lifetime";
}

TEST_F(FlameTest, TheShipFeedsItsFlameFromItsTail) {
    auto* ship = Add(new ShipObject);
    ship->heading = 90.0f;  // facing -x, so the tail is at +1.75
    ship->thrusting = true;
    ship->flame->emitting = true;
    time->AdvanceMilliseconds(5.0);
    ship->Update(0.005f);
    time->AdvanceMilliseconds(5.0);
    ship->Update(0.005f);
    ASSERT_GT(ActiveParticles(*ship->flame), 0);
    EXPECT_FLOAT_EQ(ship->flame->particles[0].x, ship->position.x + 1.75f);
    EXPECT_NEAR(ship->flame->particles[0].y, 0.0f, 1e-6f);
    EXPECT_EQ(ship->flame->particles[0].heading, 90.0f);

    ship->ResetShip();
    EXPECT_EQ(ActiveParticles(*ship->flame), 0);
    EXPECT_FALSE(ship->flame->emitting);
}

using ExplosionTest = PlayFieldTest;

TEST_F(ExplosionTest, LastsItsDurationAndTouchesNothing) {
    auto* explosion = Add(new ExplosionObject(Vec2{4.0f, 5.0f}, 0.75f));
    EXPECT_EQ(explosion->GetBody(), nullptr);
    EXPECT_EQ(explosion->GetCollisionMask(), 0);
    EXPECT_EQ(explosion->GetPosition().z, PlayFieldZ);
    explosion->Update(0.25f);
    explosion->Update(0.25f);
    EXPECT_EQ(explosion->GetState(), ObjectState::Active);
    explosion->Update(0.25f);
    EXPECT_EQ(explosion->GetState(), ObjectState::Dead);
}

TEST(ExplosionPieces, DriftApartFromTheShipsPicture) {
    for (int piece = 0; piece < ExplosionObject::PieceCount; ++piece) {
        Vec2 start = ExplosionObject::PieceOffset(piece, 0.0f, 0.75f);
        EXPECT_EQ(start.x, 0.0f) << piece;
        EXPECT_EQ(start.y, 0.0f) << piece;
    }
    const Vec2 ends[7] = {{2.0f, 0.0f},    {-0.05f, -0.5f}, {0.0f, -0.5f}, {1.0f, 0.0f},
                          {-1.25f, -0.1f}, {1.75f, 1.0f},   {2.0f, 2.3f}};
    for (int piece = 0; piece < ExplosionObject::PieceCount; ++piece) {
        Vec2 end = ExplosionObject::PieceOffset(piece, 0.75f, 0.75f);
        EXPECT_FLOAT_EQ(end.x, ends[piece].x) << piece;
        EXPECT_FLOAT_EQ(end.y, ends[piece].y) << piece;
    }
}
