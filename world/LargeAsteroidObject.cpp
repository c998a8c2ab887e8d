#include "world/LargeAsteroidObject.h"

#include "world/MediumAsteroidObject.h"

LargeAsteroidObject::LargeAsteroidObject(Vec3 velocity, Vec3 position, float spin)
    : AsteroidObject(ObjectKind::LargeAsteroid, Radius, Points, TakeAsteroidVariant(), velocity,
                     position, spin) {}

AsteroidObject* LargeAsteroidObject::Make(Vec3 velocity, Vec3 position, float spin) {
    return new LargeAsteroidObject(velocity, position, spin);
}

void LargeAsteroidObject::Draw() {
    DrawVariantSprite(HalfSize);
}

void LargeAsteroidObject::OnCollide(BaseObject* other) {
    Break(other, 3, MediumAsteroidObject::Make);
}
