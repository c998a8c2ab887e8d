// One frame of the play field as the level loop runs it after drawing: the update pass, the
// collision pass and the purge. Frames go a sixtieth of a second forward and back by turns, so
// every object moves as far as in play at 60 frames a second and the collision pass follows its
// path, yet the world stays the same from frame to frame: nothing moves into contact, nothing
// expires, nothing wraps and the flame pool stays full (its driven clock stands still).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/KeptValues.h"
#include "game/CollisionPass.h"
#include "game/GameRecord.h"
#include "tests/support/DrivenTime.h"
#include "world/BaseBullet.h"
#include "world/LargeAsteroidObject.h"
#include "world/MediumAsteroidObject.h"
#include "world/ObjectList.h"
#include "world/ShipObject.h"
#include "world/SmallAsteroidObject.h"

namespace {

struct WorldMix {
    int large;
    int medium;
    int small;
    int projectiles;
};

// A random point of the asteroid zone: the whole field but a strip along the bottom edge, which
// is kept for the ship and the projectiles so that nothing touches.
Vec3 AsteroidPosition() {
    float x = static_cast<float>(std::rand() % 710) / 10.0f - 35.5f;
    float y = static_cast<float>(std::rand() % 460) / 10.0f - 20.0f;
    return Vec3{x, y, PlayFieldZ};
}

template <typename Asteroid>
void AddAsteroids(int count, int speed) {
    for (int i = 0; i < count; ++i) {
        float spin = RandomAsteroidSpin();
        Vec3 velocity = RandomAsteroidVelocity(speed);
        ObjectList->AddObject(new Asteroid(velocity, AsteroidPosition(), spin));
    }
}

// The ship with its flame emitting and every particle alive, and the projectiles in flight along the
// strip.
void AddShipAndShots(int projectiles) {
    auto* ship = new ShipObject;
    ship->position = Vec3{-33.0f, -24.5f, PlayFieldZ};
    ship->body.Place(ship->position.x, ship->position.y);
    ship->flame->emitting = true;
    for (FlameParticle& particle : ship->flame->particles) {
        particle.active = true;
        particle.phase = static_cast<float>(std::rand() % 360);
    }
    GameSession->ship = ship;
    ObjectList->AddObject(ship);
    for (int i = 0; i < projectiles; ++i) {
        float x = -29.0f + 63.0f * static_cast<float>(i) / static_cast<float>(projectiles);
        float y = -26.0f + static_cast<float>(i % 3);
        ObjectList->AddObject(new BaseBullet(Vec2{1.0f, 0.0f}, Vec2{}, Vec2{x, y}, -90.0f, 1e9f));
    }
}

void RunWorldFrames(benchmark::State& state, const WorldMix& mix) {
    KeptPlayState kept;
    DrivenTime time;
    SetUpLevelTable();
    GameSessionRecord session;
    GameSession = &session;
    CurrentLevel = 14;
    LevelScore = 0;
    AsteroidsShot = 0;
    ObjectList = new ObjectListRecord;
    std::srand(14);
    int speed = LevelRowFor(CurrentLevel).asteroidSpeed;
    AddAsteroids<LargeAsteroidObject>(mix.large, speed);
    AddAsteroids<MediumAsteroidObject>(mix.medium, speed);
    AddAsteroids<SmallAsteroidObject>(mix.small, speed);
    AddShipAndShots(mix.projectiles);
    const int32_t count = ObjectList->Count();

    float dt = 1.0f / 60.0f;
    for (auto _ : state) {
        ObjectList->ForEachObject([dt](BaseObject* object) { object->Update(dt); });
        RunCollisionPass();
        ObjectList->PurgeDeadObjects();
        dt = -dt;
    }
    if (ObjectList->Count() != count || AsteroidsShot != 0) {
        state.SkipWithError("the world changed between frames");
    }
    state.counters["objects"] = count;

    delete ObjectList;
}

// Level 14 fully broken up: 13 large, 39 medium and 195 small asteroids, the ship and 30 shots.
void BM_WorldFrameLevel14(benchmark::State& state) {
    RunWorldFrames(state, WorldMix{13, 39, 195, 30});
}
BENCHMARK(BM_WorldFrameLevel14)->Unit(benchmark::kMicrosecond);

// N objects in level 14's proportions: a tenth projectiles, one ship, and asteroids large,
// medium and small as 1 : 3 : 15.
void BM_WorldFrameStress(benchmark::State& state) {
    int total = static_cast<int>(state.range(0));
    int projectiles = total / 10;
    int asteroids = total - projectiles - 1;
    int large = asteroids / 19;
    int medium = 3 * asteroids / 19;
    RunWorldFrames(state, WorldMix{large, medium, asteroids - large - medium, projectiles});
}
BENCHMARK(BM_WorldFrameStress)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
