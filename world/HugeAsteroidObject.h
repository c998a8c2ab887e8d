#pragma once
#include "world/AsteroidObject.h"

// The final level's single boss. Only projectiles hurt it: it takes 45 hits, sheds four large
// asteroids where the projectile struck on every ninth, and breaks up on the last. It scores
// nothing itself and always draws in the fixed-function form.
class HugeAsteroidObject : public AsteroidObject {
public:
    HugeAsteroidObject(Vec3 velocity, Vec3 position, float spin);

    void Draw() override;
    void OnCollide(BaseObject* other) override;

    static constexpr float Radius = 16.0f;
    static constexpr uint16_t Points = 0;
    static constexpr float HalfSize = 16.0f;
    static constexpr uint32_t HitsToBreak = 45;
    static constexpr uint32_t HitsPerShedding = 9;
    static constexpr int AsteroidsPerShedding = 4;

    uint32_t hitCount = 0;  // projectile strikes so far
};
