#pragma once
#include "world/AsteroidObject.h"

// A middle-sized asteroid; it breaks into five small ones.
class MediumAsteroidObject : public AsteroidObject {
public:
    MediumAsteroidObject(Vec3 velocity, Vec3 position, float spin);
    static AsteroidObject* Make(Vec3 velocity, Vec3 position, float spin);

    void Draw() override;
    void OnCollide(BaseObject* other) override;

    static constexpr float Radius = 0.95f;
    static constexpr uint16_t Points = 500;
    static constexpr float HalfSize = 1.0f;
};
