#include "world/PickupObject.h"

#include "render/ShaderProgram.h"
#include "world/AwardPoints.h"
#include "world/SpriteDrawing.h"

PickupObject::PickupObject(ObjectKind kind, uint16_t points, Vec2 position, float lifetime)
    : BaseObject(kind, HitsShip, Vec3{position.x, position.y, PlayFieldZ}),
      lifetime(lifetime),
      points(points) {
    body = CircleBody(Radius, this->position, 0.0f);
}

void PickupObject::Update(float dt) {
    age += dt;
    if (age > lifetime) {
        state = ObjectState::Dead;
    }
    EndIfHit();
}

void PickupObject::OnCollide(BaseObject* other) {
    AwardPoints(points);
    state = ObjectState::Hit;
}

void PickupObject::DrawPickup(float wobble, const PickupLook& look) const {
    PlaceSprite(position, wobble);
    EnableSpriteBlending();
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (UsesShaderPath(DefaultProgram)) {
        glActiveTexture(GL_TEXTURE0);
        BindTexture(look.colourTexture);
        glEnable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE1);
        BindTexture(look.normalTexture);
        glEnable(GL_TEXTURE_2D);
        glUseProgram(DefaultProgram->program);
        SetLitSpriteUniforms(DefaultProgram->program, wobble, 0.3, 0.6f);
        DrawCornerQuad(0.0f, 0.0f, HalfSize, position.z, false);
        glUseProgram(0);
        DisableTextureUnitsDownFrom(look.highestUnitToDisable);
    } else {
        BindTexture(look.fixedTexture);
        DrawCornerQuad(0.0f, 0.0f, HalfSize, position.z, look.fixedImageTOneAtTop);
        glDisable(GL_TEXTURE_2D);
    }
}
