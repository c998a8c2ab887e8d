#include "world/SmallAsteroidObject.h"

SmallAsteroidObject::SmallAsteroidObject(Vec3 velocity, Vec3 position, float spin)
    : AsteroidObject(ObjectKind::SmallAsteroid, Radius, Points, TakeAsteroidVariant(), velocity,
                     position, spin) {}

AsteroidObject* SmallAsteroidObject::Make(Vec3 velocity, Vec3 position, float spin) {
    return new SmallAsteroidObject(velocity, position, spin);
}

void SmallAsteroidObject::Draw() {
    DrawVariantSprite(HalfSize);
}

void SmallAsteroidObject::OnCollide(BaseObject* other) {
    Break(other, 0, nullptr);
}
