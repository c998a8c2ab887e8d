#include "world/HugeAsteroidObject.h"

#include "game/GameRecord.h"
#include "world/LargeAsteroidObject.h"

HugeAsteroidObject::HugeAsteroidObject(Vec3 velocity, Vec3 position, float spin)
    : AsteroidObject(ObjectKind::HugeAsteroid, Radius, Points, 0, velocity, position, spin) {}

void HugeAsteroidObject::OnCollide(BaseObject* other) {
    if (other->GetKind() != ObjectKind::Projectile) {
        return;
    }
    hitCount += 1;
    if (hitCount == HitsToBreak) {
        AsteroidsShot += 1;
        state = ObjectState::Hit;
    }
    if (hitCount % HitsPerShedding == 0) {
        SpawnAsteroids(AsteroidsPerShedding, other->GetPosition(), LargeAsteroidObject::Make);
    }
}
