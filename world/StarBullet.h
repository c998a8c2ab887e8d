#pragma once
#include "world/ProjectileObject.h"

// The starburst weapon's shot. It flies like a bullet, and whenever it ends, at the end of its
// flight or where it struck an asteroid, it leaves a star spawner that bursts into fragments.
class StarBullet : public ProjectileObject {
public:
    StarBullet(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle, float lifetime);

    void Update(float dt) override;
    void Draw() override;

    static constexpr float BurstDelay = 0.2f;  // seconds from the spawner to the fragments

private:
    bool burst = false;  // its spawner has been left
};
