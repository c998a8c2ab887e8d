#include "world/StarBullet.h"

#include "world/ObjectList.h"
#include "world/StarSpawner.h"

StarBullet::StarBullet(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle,
                       float lifetime)
    : ProjectileObject(direction, baseVelocity, position, angle, lifetime) {}

void StarBullet::Update(float dt) {
    ProjectileObject::Update(dt);
    if (state == ObjectState::Dead) {
        ObjectList->AddObject(new StarSpawner(Vec2{position.x, position.y}, BurstDelay));
    }
}

void StarBullet::Draw() {
    DrawStreak();
}
