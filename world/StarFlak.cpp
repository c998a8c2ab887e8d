#include "world/StarFlak.h"

#include "render/AssetCatalogue.h"
#include "world/SpriteDrawing.h"

StarFlak::StarFlak(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle, float lifetime)
    : ProjectileObject(direction, baseVelocity, position, angle, lifetime) {}

void StarFlak::Draw() {
    PlaceSprite(position, angle);
    glEnable(GL_TEXTURE_2D);
    EnableSpriteBlending();
    BindTexture(Catalogue.bullet);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawStripQuad(0.0f, 0.0f, 0.3f, position.z, false);
}
