#pragma once
#include "world/PickupObject.h"

// The invulnerability pickup: it rocks gently while it waits and makes the ship invulnerable for
// 10000 ms.
class InvulnObject : public PickupObject {
public:
    InvulnObject(Vec2 position, float lifetime);

    void Draw() override;

    // The angle, in degrees, it is drawn turned by at its present age.
    float WobbleAngle() const;

    static constexpr uint16_t Points = 5000;
};
