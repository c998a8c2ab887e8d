// The same game at any frame rate: from 20 frames a second (software drawing on a large screen)
// to 240 (a gaming monitor), shots hit what they pass through, reach as far, fire as often, and
// the ship flies as far and collects what it flies into.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/support/PlayField.h"
#include "world/BaseBullet.h"
#include "world/LongRangeObject.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"
#include "world/SpreadObject.h"

namespace {

constexpr float FrameRates[] = {20.0f, 25.0f, 30.0f, 60.0f, 144.0f, 240.0f};
constexpr float ShotReach = ProjectileObject::Radius + SmallAsteroidObject::Radius;
constexpr float ShipReachOfPickup = ShipObject::Radius + PickupObject::Radius;

class FrameRateTest : public PlayFieldTest {
protected:
    // Runs frames of 1 / fps seconds for `seconds`, or until one object is left.
    void RunFor(float fps, float seconds) {
        const float dt = 1.0f / fps;
        for (float t = 0.0f; t < seconds && ObjectList->Count() > 1; t += dt) {
            RunFrame(dt);
        }
    }

    // A shot along +x from a ship flying along +x at `shipSpeed` starts `before` units short
    // of x = 15 and crosses it `side` units above y = 0, just as a small asteroid flying along +y
    // at `rockSpeed` reaches (15, 0). True when it struck the asteroid.
    bool ShotHits(float fps, float side, float before, float shipSpeed, float rockSpeed = 0.0f) {
        ObjectList->ClearWorldList();
        AsteroidsShot = 0;
        float meeting = before / (ProjectileObject::MuzzleSpeed + shipSpeed);
        Add(new SmallAsteroidObject(Vec3{0.0f, rockSpeed, 0.0f},
                                    Vec3{15.0f, -rockSpeed * meeting, PlayFieldZ}, 0.0f));
        Add(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{shipSpeed, 0.0f}, Vec2{15.0f - before, side},
                           -90.0f, 0.4f));
        RunFor(fps, 1.0f);
        return AsteroidsShot == 1;
    }

    std::mt19937 random{24};
};

}  // namespace

// Contacts are judged over the whole frame: at 20 fps half the shots used to pass through a
// small asteroid they plainly touched, three quarters of them from a ship at full speed.
TEST_F(FrameRateTest, ShotsHitWhatTheyPassThroughAndNeverWhatTheyPassBeside) {
    std::uniform_real_distribution<float> within(-0.95f * ShotReach, 0.95f * ShotReach);
    std::uniform_real_distribution<float> start(5.0f, 15.0f);  // every phase of the frames
    for (float fps : FrameRates) {
        // A resting asteroid from a resting ship and from one at top speed, and a moving one
        // whose path the shot crosses.
        for (auto [shipSpeed, rockSpeed] : {std::pair{0.0f, 0.0f}, {60.0f, 0.0f}, {0.0f, 25.0f}}) {
            int hits = 0;
            int closeMisses = 0;
            for (int shot = 0; shot < 100; ++shot) {
                hits += ShotHits(fps, within(random), start(random), shipSpeed, rockSpeed);
                float outside = (shot % 2 == 0 ? 1.0f : -1.0f) * ShotReach * 1.01f;
                closeMisses +=
                    rockSpeed > 0.0f || !ShotHits(fps, outside, start(random), shipSpeed);
            }
            SCOPED_TRACE(::testing::Message()
                         << fps << " fps, ship " << shipSpeed << ", rock " << rockSpeed);
            EXPECT_EQ(hits, 100);
            EXPECT_EQ(closeMisses, 100);
        }
    }
}

// A shot's flight ends where its lifetime does, and is tested up to there: 28 units for the
// normal shot at any frame rate, where the last frame used to be left untested.
TEST_F(FrameRateTest, AShotReachesAsFarAtAnyFrameRate) {
    const float reach = ProjectileObject::MuzzleSpeed * 0.4f + ShotReach;
    for (float fps : FrameRates) {
        EXPECT_TRUE(ShotHits(fps, 0.0f, reach - 0.01f, 0.0f)) << fps << " fps";
        EXPECT_FALSE(ShotHits(fps, 0.0f, reach + 0.01f, 0.0f)) << fps << " fps";
    }
}

TEST_F(FrameRateTest, TheShipCollectsAPickupItFliesThroughAndThrustCarriesItAsFar) {
    std::uniform_real_distribution<float> within(-0.95f * ShipReachOfPickup,
                                                 0.95f * ShipReachOfPickup);
    std::uniform_real_distribution<float> start(5.0f, 15.0f);
    for (float fps : FrameRates) {
        int collected = 0;
        for (int pass = 0; pass < 50; ++pass) {
            for (bool beside : {false, true}) {
                ObjectList->ClearWorldList();
                auto* ship = Add(new ShipObject);
                ship->position = Vec3{0.0f, -start(random), PlayFieldZ};
                ship->velocity = Vec3{0.0f, 60.0f, 0.0f};  // top speed
                float side = beside ? ShipReachOfPickup * 1.01f : within(random);
                Add(new LongRangeObject(Vec2{side, 0.0f}, 10.0f));
                RunFor(fps, 0.5f);
                bool took = ship->weapon == Weapon::LongRange;
                EXPECT_EQ(took, !beside) << fps << " fps, " << side << " beside";
                collected += took ? 1 : 0;
            }
        }
        EXPECT_EQ(collected, 50) << fps << " fps";

        // A second of thrust from a standstill: 15 units, as 30 t^2 / 2 gives.
        ObjectList->ClearWorldList();
        auto* ship = Add(new ShipObject);
        ship->thrusting = true;
        for (int frame = 0; frame < static_cast<int>(fps); ++frame) {
            ship->Update(1.0f / fps);
        }
        EXPECT_NEAR(ship->position.y, 15.0f, 0.01f) << fps << " fps";
    }
}

// Each shot that came late by part of a frame makes the next one due that much earlier: held
// fire keeps to the weapon's interval at any frame rate, where it used to lose the part of a
// frame at every shot (37 shots in 10 s at 30 fps instead of 40).
TEST_F(FrameRateTest, HeldFireKeepsToTheIntervalAndNeitherAPauseNorAHitchBringsABurst) {
    LongRangeObject longRange(Vec2{}, 1.0f);
    SpreadObject spread(Vec2{}, 1.0f);
    const std::pair<BaseObject*, float> weapons[] = {
        {nullptr, 250.0f}, {&longRange, 230.0f}, {&spread, 300.0f}};
    // Holds fire from a pause for `seconds` in frames of 1 / fps, one frame of `hitch` seconds
    // after `hitchAfter` frames; the times of the shots in ms, as the level loop fires them
    // after each frame's update.
    auto holdFire = [this](BaseObject* pickup, float fps, float seconds, int hitchAfter,
                           float hitch) {
        ObjectList->ClearWorldList();
        auto* ship = Add(new ShipObject);
        if (pickup != nullptr) {
            ship->OnCollide(pickup);
        }
        ship->sinceShot = 5000.0f;
        std::vector<double> shots;
        double now = 0.0;
        for (int frame = 0; now < seconds * 1000.0; ++frame) {
            if (ship->Fire()) {
                shots.push_back(now);
            }
            float dt = frame == hitchAfter ? hitch : 1.0f / fps;
            ship->Update(dt);
            now += dt * 1000.0;
        }
        return shots;
    };
    for (float fps : {20.0f, 30.0f, 60.0f, 240.0f}) {
        for (const auto& [pickup, interval] : weapons) {
            std::vector<double> shots = holdFire(pickup, fps, 10.0f, -1, 0.0f);
            SCOPED_TRACE(::testing::Message() << fps << " fps, " << interval << " ms");
            EXPECT_NEAR(shots.size(), 10000.0f / interval, 1.0f);
            ASSERT_FALSE(shots.empty());
            EXPECT_EQ(shots[0], 0.0) << "fire pressed after a pause fires at once";
            for (size_t i = 1; i < shots.size(); ++i) {
                EXPECT_NEAR(shots[i] - shots[i - 1], interval, 1000.0 / fps) << i;
            }
            EXPECT_GE(shots[1] - shots[0], interval - 0.01) << "a pause is not carried";
        }
    }
    // Half a second without a frame: one shot when it ends, then no burst to catch up.
    std::vector<double> shots = holdFire(nullptr, 60.0f, 4.0f, 120, 0.5f);
    size_t afterHitch = 0;
    while (shots[afterHitch] < 2500.0) {
        ++afterHitch;
    }
    EXPECT_GE(shots[afterHitch + 1] - shots[afterHitch], 125.0);
    EXPECT_LE(shots.size() - afterHitch, 1500.0 / 250.0 + 1.0) << "in the 1.5 s after it";
}
