#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/support/PlayField.h"
#include "world/ExplosionObject.h"
#include "world/FlameEmitter.h"

namespace {

int Active(const FlameEmitter& flame) {
    return static_cast<int>(std::count_if(flame.particles.begin(), flame.particles.end(),
                                          [](const FlameParticle& p) { return p.active; }));
}

const Vec3 Spawn{1.0f, 2.0f, PlayFieldZ};

}  // namespace

using FlameTest = PlayFieldTest;

TEST_F(FlameTest, AParticleDriftsBackWobblesFadesAndLivesUntilExactlyItsLifetime) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.emitting = true;
    time.AdvanceMilliseconds(2.0);
    flame.UpdateFlame(Spawn, 30.0f);  // owes 2 ms
    time.AdvanceMilliseconds(8.0);
    flame.UpdateFlame(Spawn, 30.0f);  // pays one particle, back-dated by 1.5 x its debt
    ASSERT_EQ(Active(flame), 1);
    const FlameParticle& particle = flame.particles[0];
    EXPECT_FLOAT_EQ(particle.birthTime, 0.010f - 0.003f);

    flame.emitting = false;
    time.AdvanceMilliseconds(97.0);
    flame.UpdateFlame(Spawn, 90.0f);
    float age = FlameCurrentTime - particle.birthTime;
    double wobble = (4.0f * age * 360.0f + particle.phase) * 0.017453292;
    EXPECT_FLOAT_EQ(flame.vertices[0].x, std::sin(wobble) * (age / 0.266f * 3.0f));
    EXPECT_FLOAT_EQ(flame.vertices[0].y, -10.0f * age);
    EXPECT_FLOAT_EQ(particle.alpha, 1.0f - age / 0.266f);
    EXPECT_EQ(particle.heading, 30.0f) << "released thrust emits nothing new";

    flame.particles[5].active = true;
    flame.particles[5].birthTime = (FlameCurrentTime + 0.4f) - 0.266f;
    time.AdvanceMilliseconds(400.0);
    flame.UpdateFlame(Spawn, 0.0f);
    ASSERT_EQ(FlameCurrentTime - flame.particles[5].birthTime, 0.266f);
    EXPECT_EQ(Active(flame), 1) << "the first has expired; the one at its lifetime lives on";
    EXPECT_EQ(flame.particles[5].alpha, 0.0f);
}

TEST_F(FlameTest, SlotZeroReseedsTheGeneratorWithZeroSoItAlwaysLooksTheSame) {
    std::srand(0);
    float phase = static_cast<float>(std::rand() % 360);
    int colour = std::rand() % 4;
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    for (unsigned seed : {11u, 2024u}) {
        std::srand(seed);
        flame.emitting = true;
        FlameEmitDebt = 0.002f;
        time.AdvanceMilliseconds(1.0);
        flame.UpdateFlame(Spawn, 0.0f);
        EXPECT_EQ(flame.particles[0].phase, phase) << seed;
        EXPECT_EQ(flame.particles[0].red, FlameColours[colour].red) << seed;
        flame.emitting = false;
        time.AdvanceMilliseconds(300.0);
        flame.UpdateFlame(Spawn, 0.0f);
        ASSERT_EQ(Active(flame), 0);
    }
}

TEST_F(FlameTest, AFullPoolOrAnEnormousDebtIsPaidOffInOneUpdate) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    time.AdvanceMilliseconds(100.0);
    for (FlameParticle& particle : flame.particles) {
        particle = FlameParticle{true, 0.1f, 0, 0, 0, 0, 7.0f, 0, 0, 0, 1};
    }
    flame.emitting = true;
    FlameEmitDebt = 0.01f;
    flame.UpdateFlame(Spawn, 0.0f);
    EXPECT_EQ(Active(flame), 751);
    EXPECT_TRUE(FlameEmitDebt >= 0.0f && FlameEmitDebt < flame.emitInterval);
    EXPECT_TRUE(std::all_of(flame.particles.begin(), flame.particles.end(),
                            [](const FlameParticle& p) { return p.phase == 7.0f; }));

    FlameEmitter fresh(3.0f, 0.266f, 4.0f);
    fresh.emitting = true;
    FlameEmitDebt = 5.0e6f;  // thrust held through a frame of some two months
    fresh.UpdateFlame(Spawn, 0.0f);
    EXPECT_TRUE(FlameEmitDebt >= 0.0f && FlameEmitDebt < fresh.emitInterval);
    EXPECT_EQ(Active(fresh), 0) << "all were back-dated beyond their lifetime";
}

TEST_F(FlameTest, AnExplosionLastsItsDurationAndItsPiecesDriftApart) {
    auto* explosion = Add(new ExplosionObject(Vec2{4.0f, 5.0f}, 0.75f));
    explosion->Update(0.5f);
    EXPECT_EQ(explosion->GetState(), ObjectState::Active);
    explosion->Update(0.25f);
    EXPECT_EQ(explosion->GetState(), ObjectState::Dead);
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(1, 0.75f, 0.75f).x, -0.05f);
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(4, 0.75f, 0.75f).y, -0.1f);
    EXPECT_FLOAT_EQ(ExplosionObject::PieceOffset(6, 0.75f, 0.75f).y, 2.3f);
}
