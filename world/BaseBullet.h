#pragma once
#include "world/ProjectileObject.h"

// The ordinary shot of the normal, long-range and spread weapons, drawn as a fading streak.
class BaseBullet : public ProjectileObject {
public:
    BaseBullet(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle, float lifetime);

    void Draw() override;
};
