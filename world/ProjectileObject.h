#pragma once
#include "world/BaseObject.h"

// What the ship's shots and the starburst's fragments share: a straight flight at the muzzle
// speed plus the shooter's velocity, the play-field wrap, a lifetime, and an end on the first
// asteroid they touch (the asteroid does the rest). They test against asteroids only, so they
// never hit the ship or the pickups.
class ProjectileObject : public BaseObject {
public:
    void Update(float dt) override;
    void OnCollide(BaseObject* other) override;

    // True once the shot has flown its whole lifetime: its last piece of flight has been tested,
    // and its next Update ends it.
    bool Spent() const { return age >= lifetime; }

    static constexpr float MuzzleSpeed = 70.0f;
    static constexpr float Radius = 0.6f;

    Vec3 direction{0.0f, 1.0f, 0.0f};  // unit direction of flight
    Vec3 velocity;                     // muzzle speed along direction plus the base velocity
    float angle = 0.0f;                // degrees; the sprite's rotation and the body's angle
    float speed = MuzzleSpeed;
    float lifetime = 0.0f;  // seconds of flight; it is spent when its age reaches this
    float age = 0.0f;       // seconds flown

protected:
    ProjectileObject(Vec2 direction, Vec2 baseVelocity, Vec2 position, float angle, float lifetime);

    // The bullet's fading streak: its head at the centre, running 4 units back along its flight.
    void DrawStreak() const;
};
