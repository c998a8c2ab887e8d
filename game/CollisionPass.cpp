#include "game/CollisionPass.h"

#include <cmath>

#include "world/ObjectList.h"

namespace {

// A circle's centre in the world: its offset turned by the body's angle and added to the centre.
// Only a circle with an offset needs the angle's sine and cosine; every circle of this game has
// none, which spares the pass its trigonometry.
Vec2 CircleCentre(const CollisionBody& body, const CollisionCircle& circle) {
    if (circle.offsetX == 0.0f && circle.offsetY == 0.0f) {
        return Vec2{body.centreX, body.centreY};
    }
    float theta = static_cast<float>(body.angle * DegreesToRadians);
    float s = std::sin(theta);
    float c = std::cos(theta);
    return Vec2{body.centreX - (circle.offsetX * c + circle.offsetY * s),
                body.centreY + (circle.offsetY * c - circle.offsetX * s)};
}

}  // namespace

bool BodiesTouch(const BaseObject* a, const BaseObject* b) {
    if (a->GetState() != ObjectState::Active && b->GetState() != ObjectState::Active) {
        return false;
    }
    const CollisionBody* bodyA = a->GetBody();
    const CollisionBody* bodyB = b->GetBody();
    if (bodyA == nullptr || bodyB == nullptr || bodyA->circles.empty()) {
        return false;
    }
    for (const CollisionCircle& circleA : bodyA->circles) {
        Vec2 centreA = CircleCentre(*bodyA, circleA);
        for (const CollisionCircle& circleB : bodyB->circles) {
            Vec2 centreB = CircleCentre(*bodyB, circleB);
            float dx = centreA.x - centreB.x;
            float dy = centreA.y - centreB.y;
            float reach = circleA.radius + circleB.radius;
            if (reach * reach >= dx * dx + dy * dy) {
                return true;
            }
        }
    }
    return false;
}

void RunCollisionPass() {
    for (int32_t outer = ObjectList->HeadPosition(); outer >= 0; --outer) {
        BaseObject* a = ObjectList->ObjectAt(outer);
        uint16_t mask = a->GetCollisionMask();
        if (mask == 0) {
            continue;
        }
        for (int32_t inner = ObjectList->HeadPosition();
             inner >= 0 && a->GetState() == ObjectState::Active; --inner) {
            BaseObject* b = ObjectList->ObjectAt(inner);
            if (b == a || b->GetState() != ObjectState::Active) {
                continue;
            }
            if ((mask & CollisionGroupOf(b->GetKind())) != 0 && BodiesTouch(a, b)) {
                a->OnCollide(b);
                b->OnCollide(a);
            }
        }
    }
}
