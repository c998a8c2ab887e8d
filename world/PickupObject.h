#pragma once
#include "world/BaseObject.h"

class Targa;

// How a pickup looks: its textures on each drawing path, which way up its fixed-function image
// is mapped, and the highest texture unit its shader-path draw switches off afterwards.
struct PickupLook {
    const Targa* fixedTexture;   // fixed-function path
    const Targa* colourTexture;  // shader path, unit 0
    const Targa* normalTexture;  // shader path, unit 1
    bool fixedImageTOneAtTop;    // the fixed-function image is mapped with t = 1 at the top
    int highestUnitToDisable;    // after a shader-path draw: 2 or 1
};

// What the four power-up pickups share: they sit still, rock or turn while they wait, vanish
// after their lifetime, and are collected by the ship, whose own OnCollide applies the effect
// while the pickup's awards the points and ends it.
class PickupObject : public BaseObject {
public:
    void Update(float dt) override;
    void OnCollide(BaseObject* other) override;

    static constexpr float Radius = 0.95f;
    static constexpr float HalfSize = 1.0f;  // of its sprite

    float lifetime = 0.0f;  // seconds before it vanishes
    float age = 0.0f;       // seconds waited
    uint16_t points = 0;    // for collecting it

protected:
    PickupObject(ObjectKind kind, uint16_t points, Vec2 position, float lifetime);

    // The share of its lifetime that has passed: 0 at creation, 1 when it vanishes.
    float LifeFraction() const { return age / lifetime; }

    // Draws the pickup turned by the wobble angle (degrees), in the current drawing path.
    void DrawPickup(float wobble, const PickupLook& look) const;
};
