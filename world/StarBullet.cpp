#include "world/StarBullet.h"

#include "world/ObjectList.h"
#include "world/StarSpawner.h"

StarBullet::StarBullet(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle,
                       float lifetime)
    : ProjectileObject(direction, baseVelocity, position, angle, lifetime) {}

// The spawner comes in the frame the flight ends, whether the shot was spent or struck an
// asteroid in the frame before, and only once.
void StarBullet::Update(float dt) {
    ProjectileObject::Update(dt);
    if (!burst && (state == ObjectState::Dead || Spent())) {
        burst = true;
        ObjectList->AddObject(new StarSpawner(Vec2{position.x, position.y}, BurstDelay));
    }
}

void StarBullet::Draw() {
    DrawStreak();
}
