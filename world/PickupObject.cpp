#include "world/PickupObject.h"

#include "world/AwardPoints.h"

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
