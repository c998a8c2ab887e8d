#pragma once
#include "world/PickupObject.h"

// The starburst pickup: it turns once over its life and fits the ship with starburst shots.
class StarburstObject : public PickupObject {
public:
    StarburstObject(Vec2 position, float lifetime);

    void Draw() override;

    // The angle, in degrees, it is drawn turned by at its present age.
    float WobbleAngle() const;

    static constexpr uint16_t Points = 2500;
};
