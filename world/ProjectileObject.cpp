#include "world/ProjectileObject.h"

#include <algorithm>

#include "render/AssetCatalogue.h"
#include "world/SpriteDrawing.h"

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
    if (Spent()) {
        state = ObjectState::Dead;
        return;
    }
    // The last step ends where the lifetime does, and the shot stays in play for that frame's
    // collision pass, so it reaches exactly as far at any frame rate.
    float flight = std::min(dt, lifetime - age);
    MoveAndRefreshBody(Vec2{velocity.x * flight, velocity.y * flight}, angle);
    age += dt;
}

void ProjectileObject::OnCollide(BaseObject* other) {
    state = ObjectState::Hit;
}

void ProjectileObject::DrawStreak() const {
    struct StreakVertex {
        float s;
        float t;
        float alpha;
        float x;
        float y;
    };
    constexpr StreakVertex Streak[6] = {{0, 0, 1, -0.3f, 0},  {1, 0, 1, 0.3f, 0},
                                        {0, 1, 0, -0.3f, -4}, {0, 1, 0, -0.3f, -4},
                                        {1, 0, 1, 0.3f, 0},   {1, 1, 0, 0.3f, -4}};
    PlaceSprite(position, angle);
    glEnable(GL_TEXTURE_2D);
    EnableSpriteBlending();
    BindTexture(Catalogue.bullet);
    glBegin(GL_TRIANGLES);
    for (const StreakVertex& vertex : Streak) {
        glTexCoord2f(vertex.s, vertex.t);
        glColor4f(0.66f, 0.66f, 0.66f, vertex.alpha);
        glVertex3f(vertex.x, vertex.y, position.z);
    }
    glEnd();
}
