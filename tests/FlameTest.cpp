#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/PlayField.h"
#include "world/FlameEmitter.h"

namespace {

int Active(const FlameEmitter& flame) {
    return static_cast<int>(std::count_if(flame.particles.begin(), flame.particles.end(),
                                          [](const FlameParticle& p) { return p.active; }));
}

const Vec3 Spawn{1.0f, 2.0f, PlayFieldZ};

}  // namespace

using FlameTest = PlayFieldTest;

TEST_F(FlameTest, AParticleIsBackDatedByItsDebtThenDriftsWobblesAndFadesUntilExactlyItsLifetime) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.emitting = true;
    time.AdvanceMilliseconds(2.0);
    flame.UpdateFlame(Spawn, 30.0f);  // owes 2 ms
    time.AdvanceMilliseconds(8.0);
    flame.UpdateFlame(Spawn, 30.0f);  // pays one particle, back-dated by 1.5 x its debt
    ASSERT_EQ(Active(flame), 1);
    EXPECT_FLOAT_EQ(flame.particles[0].birthTime, 0.010f - 0.003f);

    // Two more by hand, of phase 0: at the next update one is a sixteenth of a second old (a
    // quarter of a wobble), the other exactly its lifetime.
    flame.emitting = false;
    float next = FlameCurrentTime + 0.4f;
    flame.particles[4] = FlameParticle{true, next - 0.0625f, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    flame.particles[5] = FlameParticle{true, next - 0.266f, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    time.AdvanceMilliseconds(400.0);
    flame.UpdateFlame(Spawn, 0.0f);
    ASSERT_EQ(FlameCurrentTime - flame.particles[5].birthTime, 0.266f);
    EXPECT_FALSE(flame.particles[0].active);
    EXPECT_EQ(Active(flame), 2) << "released thrust emits nothing; the one at its lifetime lives";
    EXPECT_NEAR(flame.vertices[4].x, 3.0 * 0.0625 / 0.266, 1e-5) << "swung out, widening";
    EXPECT_NEAR(flame.vertices[4].y, -0.625, 1e-5) << "10 units a second backwards";
    EXPECT_NEAR(flame.particles[4].alpha, 1.0 - 0.0625 / 0.266, 1e-5);
    EXPECT_EQ(flame.particles[5].alpha, 0.0f);
}

TEST_F(FlameTest, SlotZeroReseedsTheGeneratorWithZeroSoItAlwaysLooksTheSame) {
    std::srand(0);
    float phase = static_cast<float>(std::rand() % 360);
    const FlameColour& colour = FlameColours[std::rand() % 4];
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    std::srand(2024);
    flame.emitting = true;
    FlameEmitDebt = 0.002f;
    time.AdvanceMilliseconds(1.0);
    flame.UpdateFlame(Spawn, 0.0f);
    EXPECT_EQ(flame.particles[0].phase, phase);
    EXPECT_EQ(flame.particles[0].red, colour.red);
    EXPECT_EQ(flame.particles[0].green, colour.green);
}

// Thrust held through a frame of some two months fills the pool, and the slots run out: what is
// left of the debt is paid off in one step rather than an interval at a time.
TEST_F(FlameTest, AnEnormousDebtIsPaidOffInOneUpdate) {
    FlameEmitter flame(3.0f, 0.266f, 4.0f);
    flame.emitting = true;
    FlameEmitDebt = 5.0e6f;
    flame.UpdateFlame(Spawn, 0.0f);
    EXPECT_TRUE(FlameEmitDebt >= 0.0f && FlameEmitDebt < flame.emitInterval);
    EXPECT_EQ(Active(flame), 0) << "all were back-dated beyond their lifetime";
}
