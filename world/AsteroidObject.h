#pragma once
#include <cstdint>

#include "world/BaseObject.h"

// Which of the three asteroid images the next small, medium or large asteroid shows. It counts
// 0, 1, 2, 0, ... over the whole run and is never reset; the huge asteroid does not use it.
extern uint32_t AsteroidVariantCounter;

// The counter's current value, advancing it to the next image.
uint32_t TakeAsteroidVariant();

// A random spin, a whole number of degrees per second from 0 to 120: one draw from rand.
float RandomAsteroidSpin();

// A random drift for a level's speed factor: x then y, each one draw from rand giving a whole
// number of hundredths in [0.3 - speed, 0.3 + speed - 0.01], never exactly 0; z is 0.
Vec3 RandomAsteroidVelocity(int32_t speed);

class AsteroidObject;

// Makes one asteroid of a particular size.
using MakeAsteroid = AsteroidObject* (*)(Vec3 velocity, Vec3 position, float spin);

// What the four asteroid sizes share: a straight drift at constant velocity, a constant spin, the
// play-field wrap by their own radius, and the way a struck asteroid counts, scores and breaks.
class AsteroidObject : public BaseObject {
public:
    void Update(float dt) override;

    uint32_t variant = 0;  // the image shown, 0 to 2
    float angle = 0.0f;    // degrees
    float spin = 0.0f;     // degrees per second
    Vec3 velocity;         // world units per second; z is carried but not used
    uint16_t points = 0;   // awarded when struck

protected:
    AsteroidObject(ObjectKind kind, float radius, uint16_t points, uint32_t variant, Vec3 velocity,
                   Vec3 position, float spin);

    // The strike of a small, medium or large asteroid: a projectile's strike counts in
    // AsteroidsShot, the points are awarded whatever struck it, childCount children start at its
    // centre, and it turns Hit.
    void Break(const BaseObject* other, int childCount, MakeAsteroid makeChild);

    // The draw of a small, medium or large asteroid, textured by its variant, in either path.
    void DrawVariantSprite(float halfSize) const;
};

// Adds count new asteroids at the position to the object list, each with a random spin and then
// a random velocity for the current level's speed factor, drawn in that order.
void SpawnAsteroids(int count, Vec3 position, MakeAsteroid makeAsteroid);
