#include "world/BaseBullet.h"

BaseBullet::BaseBullet(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle,
                       float lifetime)
    : ProjectileObject(direction, baseVelocity, position, angle, lifetime) {}

void BaseBullet::Draw() {
    DrawStreak();
}
