#pragma once
#include "world/AsteroidObject.h"

// The asteroid the levels start with; it breaks into three medium ones.
class LargeAsteroidObject : public AsteroidObject {
public:
    LargeAsteroidObject(Vec3 velocity, Vec3 position, float spin);
    static AsteroidObject* Make(Vec3 velocity, Vec3 position, float spin);

    void Draw() override;
    void OnCollide(BaseObject* other) override;

    static constexpr float Radius = 1.95f;
    static constexpr uint16_t Points = 250;
    static constexpr float HalfSize = 2.0f;
};
