#pragma once
#include "world/BaseObject.h"

// What the four power-up pickups share: they sit still, rock or turn while they wait, vanish
// after their lifetime, and are collected by the ship, whose own OnCollide applies the effect
// while the pickup's awards the points and ends it.
class PickupObject : public BaseObject {
public:
    void Update(float dt) override;
    void OnCollide(BaseObject* other) override;

    static constexpr float Radius = 0.95f;

    float lifetime = 0.0f;  // seconds before it vanishes
    float age = 0.0f;       // seconds waited
    uint16_t points = 0;    // for collecting it

protected:
    PickupObject(ObjectKind kind, uint16_t points, Vec2 position, float lifetime);

    // The share of its lifetime that has passed: 0 at creation, 1 when it vanishes.
    float LifeFraction() const { return age / lifetime; }
};
