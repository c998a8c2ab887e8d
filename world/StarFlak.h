#pragma once
#include "world/ProjectileObject.h"

// One of the eight fragments of a starburst: a short-lived projectile drawn as a small square.
class StarFlak : public ProjectileObject {
public:
    StarFlak(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle, float lifetime);

    void Draw() override;
};
