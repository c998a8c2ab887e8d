#include "world/MediumAsteroidObject.h"

#include "world/SmallAsteroidObject.h"

MediumAsteroidObject::MediumAsteroidObject(Vec3 velocity, Vec3 position, float spin)
    : AsteroidObject(ObjectKind::MediumAsteroid, Radius, Points, TakeAsteroidVariant(), velocity,
                     position, spin) {}

AsteroidObject* MediumAsteroidObject::Make(Vec3 velocity, Vec3 position, float spin) {
    return new MediumAsteroidObject(velocity, position, spin);
}

void MediumAsteroidObject::Draw() {
    DrawVariantSprite(HalfSize);
}

void MediumAsteroidObject::OnCollide(BaseObject* other) {
    Break(other, 5, SmallAsteroidObject::Make);
}
