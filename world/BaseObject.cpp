#include "world/BaseObject.h"

#include <cmath>

CollisionBody CircleBody(float radius, Vec3 position, float angle) {
    CollisionBody body;
    body.circleCount = 1;
    body.circles[0] = CollisionCircle{radius, 0.0f, 0.0f, 0.0f};
    body.Place(position.x, position.y);
    body.centreZ = PlayFieldZ;
    body.angle = angle;
    return body;
}

Vec2 FacingOf(float degrees) {
    float radians = static_cast<float>(degrees * DegreesToRadians);
    return Vec2{-std::sin(radians), std::cos(radians)};
}

Vec2 WrapToPlayField(Vec2 point, float margin) {
    if (point.x > margin + PlayFieldHalfWidth) {
        point.x = -PlayFieldHalfWidth - margin;
    }
    if (-PlayFieldHalfWidth - margin > point.x) {
        point.x = margin + PlayFieldHalfWidth;
    }
    if (point.y > margin + PlayFieldHalfHeight) {
        point.y = -PlayFieldHalfHeight - margin;
    }
    if (-PlayFieldHalfHeight - margin > point.y) {
        point.y = margin + PlayFieldHalfHeight;
    }
    return point;
}

float WrapRotation(float angle) {
    if (angle >= 360.0f) {
        return angle - 360.0f;
    }
    if (angle <= -360.0f) {
        return angle + 360.0f;
    }
    return angle;
}

BaseObject::BaseObject(ObjectKind kind, uint16_t collisionMask, Vec3 position)
    : collisionMask(collisionMask), kind(kind), position(position) {}

BaseObject::~BaseObject() = default;

bool BaseObject::EndIfHit() {
    if (state == ObjectState::Hit) {
        state = ObjectState::Dead;
        return true;
    }
    return false;
}

void BaseObject::MoveAndRefreshBody(Vec2 step, float angle) {
    const Vec2 from{position.x, position.y};
    const Vec2 to{from.x + step.x, from.y + step.y};
    const Vec2 wrapped = WrapToPlayField(to, body.circles[0].radius);
    const bool wrappedAround = wrapped.x != to.x || wrapped.y != to.y;
    position.x = wrapped.x;
    position.y = wrapped.y;
    body.Place(position.x, position.y);
    if (!wrappedAround) {
        body.startX = from.x;
        body.startY = from.y;
    }
    body.angle = angle;
}
