#include "world/ProjectileObject.h"

ProjectileObject::ProjectileObject(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle,
                                   float lifetime)
    : BaseObject(ObjectKind::Projectile, HitsAsteroids, Vec3{position.x, position.y, PlayFieldZ}),
      direction{direction.x, direction.y, 0.0f},
      velocity{MuzzleSpeed * direction.x + baseVelocity.x,
               MuzzleSpeed * direction.y + baseVelocity.y, 0.0f},
      angle(angle),
      lifetime(lifetime) {
    body = CircleBody(Radius, this->position, angle);
}

void ProjectileObject::Update(float dt) {
    if (EndIfHit()) {
        return;
    }
    position.x += velocity.x * dt;
    position.y += velocity.y * dt;
    WrapAndRefreshBody(angle);
    age += dt;
    if (age >= lifetime) {
        state = ObjectState::Dead;
    }
}

void ProjectileObject::OnCollide(BaseObject* other) {
    state = ObjectState::Hit;
}
