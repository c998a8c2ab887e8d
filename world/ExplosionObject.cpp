#include "world/ExplosionObject.h"

#include "audio/ShipSounds.h"
#include "render/AssetCatalogue.h"
#include "world/SpriteDrawing.h"

ExplosionObject::ExplosionObject(Vec2 position, float duration)
    : BaseObject(ObjectKind::Explosion, 0, Vec3{position.x, position.y, PlayFieldZ}),
      duration(duration) {
    hasBody = false;
    if (DebrisExplosionSound != nullptr) {
        DebrisExplosionSound->Play(false);
    }
}

void ExplosionObject::Update(float dt) {
    age += dt;
    if (age >= duration) {
        state = ObjectState::Dead;
    }
    EndIfHit();
}

Vec2 ExplosionObject::PieceOffset(int piece, float age, float duration) {
    float t = age / duration;
    switch (piece) {
        case 0:
            return Vec2{2.0f * t, 0.0f};
        case 1:
            return Vec2{-(0.1f * age / duration) * 0.5f, -0.5f * t};
        case 2:
            return Vec2{0.0f, -0.5f * t};
        case 3:
            return Vec2{t, 0.0f};
        case 4:
            return Vec2{-1.25f * t, -(0.1f * age / duration)};
        case 5:
            return Vec2{1.75f * t, t};
        default:
            return Vec2{2.0f * t, 2.3f * t};
    }
}

void ExplosionObject::Draw() {
    PlaceSprite(position, 10.0f * (age / duration));
    EnableSpriteBlending();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (int piece = 0; piece < PieceCount; ++piece) {
        BindTexture(Catalogue.shipPiece[piece]);
        Vec2 offset = PieceOffset(piece, age, duration);
        DrawCornerQuad(offset.x, offset.y, PieceHalfSize, position.z, false);
    }
    glDisable(GL_TEXTURE_2D);
}
