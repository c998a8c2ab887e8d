#pragma once
#include "world/AsteroidObject.h"

// The smallest asteroid, worth the most; it breaks into nothing.
class SmallAsteroidObject : public AsteroidObject {
public:
    SmallAsteroidObject(Vec3 velocity, Vec3 position, float spin);
    static AsteroidObject* Make(Vec3 velocity, Vec3 position, float spin);

    void Draw() override;
    void OnCollide(BaseObject* other) override;

    static constexpr float Radius = 0.45f;
    static constexpr uint16_t Points = 750;
    static constexpr float HalfSize = 0.5f;
};
