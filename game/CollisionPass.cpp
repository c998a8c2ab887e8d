#include "game/CollisionPass.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "world/ObjectList.h"

namespace {

// True when both offsets are zero of either sign; read as bits, which costs the inner walk far
// less than two floating-point comparisons.
inline bool HasNoOffset(const CollisionCircle& circle) {
    uint32_t x;
    uint32_t y;
    std::memcpy(&x, &circle.offsetX, sizeof x);
    std::memcpy(&y, &circle.offsetY, sizeof y);
    return ((x | y) << 1) == 0;
}

// A circle's offset turned by the body's angle: where the circle's centre lies from the body's.
Vec2 TurnedOffset(const CollisionBody& body, const CollisionCircle& circle) {
    float theta = static_cast<float>(body.angle * DegreesToRadians);
    float s = std::sin(theta);
    float c = std::cos(theta);
    return Vec2{-(circle.offsetX * c + circle.offsetY * s),
                circle.offsetY * c - circle.offsetX * s};
}

// A circle's centre in the world. Only a circle with an offset needs the angle's sine and
// cosine; every circle of this game has none, which spares the pass its trigonometry.
inline Vec2 CircleCentre(const CollisionBody& body, const CollisionCircle& circle) {
    if (HasNoOffset(circle)) {
        return Vec2{body.centreX, body.centreY};
    }
    Vec2 offset = TurnedOffset(body, circle);
    return Vec2{body.centreX + offset.x, body.centreY + offset.y};
}

// BodiesTouch, forced inline into the collision pass's inner walk: a call per candidate pair
// costs as much again as the test itself.
[[gnu::always_inline]] inline bool Touching(const BaseObject* a, const BaseObject* b) {
    if (a->GetState() != ObjectState::Active && b->GetState() != ObjectState::Active) {
        return false;
    }
    const CollisionBody* bodyA = a->GetBody();
    const CollisionBody* bodyB = b->GetBody();
    if (bodyA == nullptr || bodyB == nullptr) {
        return false;
    }
    for (uint32_t i = 0; i < bodyA->circleCount; ++i) {
        const CollisionCircle& circleA = bodyA->circles[i];
        Vec2 centreA = CircleCentre(*bodyA, circleA);
        for (uint32_t j = 0; j < bodyB->circleCount; ++j) {
            const CollisionCircle& circleB = bodyB->circles[j];
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

}  // namespace

bool BodiesTouch(const BaseObject* a, const BaseObject* b) {
    return Touching(a, b);
}

void RunCollisionPass() {
    ObjectListRecord* list = ObjectList;
    for (int32_t outer = list->HeadPosition(); outer >= 0; --outer) {
        BaseObject* a = list->ObjectAt(outer);
        uint16_t mask = a->GetCollisionMask();
        if (mask == 0) {
            continue;
        }
        for (int32_t inner = list->NextInGroups(list->HeadPosition(), mask);
             inner >= 0 && a->GetState() == ObjectState::Active;
             inner = list->NextInGroups(inner - 1, mask)) {
            BaseObject* b = list->ObjectAt(inner);
            if (b != a && b->GetState() == ObjectState::Active && Touching(a, b)) {
                a->OnCollide(b);
                b->OnCollide(a);
            }
        }
    }
}
