#include "world/HugeAsteroidObject.h"

#include "game/GameRecord.h"
#include "render/AssetCatalogue.h"
#include "world/LargeAsteroidObject.h"
#include "world/SpriteDrawing.h"

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

void HugeAsteroidObject::Draw() {
    PlaceSprite(position, angle);
    EnableSpriteBlending();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    BindTexture(Catalogue.finalAsteroid);
    DrawCornerQuad(0.0f, 0.0f, HalfSize, position.z, false);
    glDisable(GL_TEXTURE_2D);
}
