#include "world/BaseBullet.h"
#include "world/ExplosionObject.h"
#include "world/HugeAsteroidObject.h"
#include "world/ShipObject.h"
#include "world/StarBullet.h"
#include "world/StarFlak.h"
void AsteroidObject::DrawVariantSprite(float) const {}
void HugeAsteroidObject::Draw() {}
void ProjectileObject::DrawStreak() const {}
void StarFlak::Draw() {}
void ShipObject::Draw() {}
void ExplosionObject::Draw() {}
void FlameEmitter::DrawFlame() const {}
StarFlak::StarFlak(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle, float lifetime)
    : ProjectileObject(direction, baseVelocity, position, angle, lifetime) {}
