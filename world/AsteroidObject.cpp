#include "world/AsteroidObject.h"

#include <cstdlib>

#include "game/GameRecord.h"
#include "render/AssetCatalogue.h"
#include "render/ShaderProgram.h"
#include "world/AwardPoints.h"
#include "world/ObjectList.h"
#include "world/SpriteDrawing.h"

uint32_t AsteroidVariantCounter = 0;

uint32_t TakeAsteroidVariant() {
    uint32_t variant = AsteroidVariantCounter;
    AsteroidVariantCounter = (AsteroidVariantCounter + 1) % 3;
    return variant;
}

float RandomAsteroidSpin() {
    return static_cast<float>((std::rand() % 1201) / 10);
}

namespace {

// One velocity component: a whole number of hundredths around 0.3, never exactly 0. A speed
// factor below 1 would make the remainder's divisor 0; it still takes its draw and gives 0.3.
float RandomVelocityComponent(int32_t speed) {
    int raw = std::rand();
    int span = speed * 200;
    int hundredths = span > 0 ? raw % span - speed * 100 : 0;
    float component = static_cast<float>(hundredths) / 100.0f + 0.3f;
    return component == 0.0f ? 0.3f : component;
}

}  // namespace

Vec3 RandomAsteroidVelocity(int32_t speed) {
    float x = RandomVelocityComponent(speed);
    float y = RandomVelocityComponent(speed);
    return Vec3{x, y, 0.0f};
}

void SpawnAsteroids(int count, Vec3 position, MakeAsteroid makeAsteroid) {
    int32_t speed = LevelRowFor(CurrentLevel).asteroidSpeed;
    for (int i = 0; i < count; ++i) {
        float spin = RandomAsteroidSpin();
        Vec3 velocity = RandomAsteroidVelocity(speed);
        ObjectList->AddObject(makeAsteroid(velocity, position, spin));
    }
}

AsteroidObject::AsteroidObject(ObjectKind kind, float radius, uint16_t points, uint32_t variant,
                               Vec3 velocity, Vec3 position, float spin)
    : BaseObject(kind, HitsShip | HitsProjectiles, position),
      variant(variant),
      spin(spin),
      velocity(velocity),
      points(points) {
    body = CircleBody(radius, position, 0.0f);
}

void AsteroidObject::Update(float dt) {
    if (EndIfHit()) {
        return;
    }
    angle = WrapRotation(angle + spin * dt);
    MoveAndRefreshBody(Vec2{velocity.x * dt, velocity.y * dt}, angle);
}

void AsteroidObject::Break(const BaseObject* other, int childCount, MakeAsteroid makeChild) {
    if (other->GetKind() == ObjectKind::Projectile) {
        AsteroidsShot += 1;
    }
    AwardPoints(points);
    SpawnAsteroids(childCount, position, makeChild);
    state = ObjectState::Hit;
}

void AsteroidObject::DrawVariantSprite(float halfSize) const {
    PlaceSprite(position, angle);
    EnableSpriteBlending();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (UsesShaderPath(DefaultProgram)) {
        // The light turns with the asteroid's own rotation.
        glActiveTexture(GL_TEXTURE1);
        BindTexture(Catalogue.glslAsteroidNormal[variant]);
        glActiveTexture(GL_TEXTURE0);
        BindTexture(Catalogue.glslAsteroid[variant]);
        glUseProgram(DefaultProgram->program);
        SetLitSpriteUniforms(DefaultProgram->program, angle, 0.2, 0.25f);
        DrawCornerQuad(0.0f, 0.0f, halfSize, position.z, false);
        glUseProgram(0);
        DisableTextureUnitsDownFrom(1);
    } else {
        BindTexture(Catalogue.asteroid[variant]);
        DrawCornerQuad(0.0f, 0.0f, halfSize, position.z, false);
        glDisable(GL_TEXTURE_2D);
    }
}
