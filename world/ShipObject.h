#pragma once
#include <memory>

#include "world/BaseObject.h"
#include "world/FlameEmitter.h"

// The ship's four weapons; each pickup of a weapon fits it with its own fire interval.
enum class Weapon : int32_t {
    Normal = 0,
    LongRange = 1,
    Spread = 2,
    Starburst = 3,
};

// The new velocity of a ship whose candidate velocity may be faster than maxSpeed: within the
// limit it is taken as it is; beyond it the smaller component is kept (clamped to 60 either
// way, so a long frame cannot make the root below negative) and the larger is recomputed so the
// speed is exactly 60, its sign that of the same component of the previous velocity.
Vec2 LimitShipSpeed(Vec2 candidate, Vec2 previous, float maxSpeed);

// The repeated heading wrap: whole turns are taken off until the heading lies strictly between
// -360 and 360, as repeated subtraction would, but in one step, so that even an absurd heading
// after a very long frame cannot loop for ever.
float WrapHeading(float heading);

// The player's ship. It turns, thrusts with inertia up to a speed limit, wraps around the field,
// fires its weapon at a fixed rate, trails a flame while thrusting, is invulnerable for a while
// after it appears or collects the invulnerability pickup, applies every pickup it touches,
// bounces off the huge asteroid while invulnerable and dies on any asteroid while vulnerable.
// The level loop sets its control flags and calls Fire while the fire control is held.
class ShipObject : public BaseObject {
public:
    // Placed at the centre, or at x = 30 while the huge asteroid is near the middle.
    ShipObject();

    // Puts the ship back at the centre, standing, invulnerable for 5000 ms, with a fresh flame;
    // its weapon stays.
    void ResetShip();
    // Fires the weapon when the fire interval has passed since the last shot; true when it did.
    bool Fire();
    // The bookkeeping of a lost ship: one life less, no ship in play, thrust and turns released.
    void LoseShip();
    // Releases the thrust: the engine sound stops and the flame stops emitting. Nothing happens
    // when the ship is not thrusting.
    void StopThrusting();

    void Update(float dt) override;
    void Draw() override;
    void OnCollide(BaseObject* other) override;

    static constexpr float Radius = 1.75f;   // also the distance to the nose and the tail
    static constexpr float HalfSize = 2.0f;  // of its sprite
    static constexpr float StartInvulnerable = 5000.0f;  // ms
    static constexpr float PickupInvulnerable = 10000.0f;
    static constexpr float TurnRate = 180.0f;            // degrees per second
    static constexpr float AnalogDeadZone = 4.0f;        // degrees per second
    static constexpr float Acceleration = 30.0f;         // units per second per second
    static constexpr float ThrustSoundRestart = 500.0f;  // ms

    float heading = 0.0f;  // degrees
    Vec3 facing{0.0f, 1.0f, 0.0f};
    Vec3 velocity;  // units per second
    float maxSpeed = 60.0f;
    float fireInterval = 250.0f;  // ms
    float sinceShot = 0.0f;       // ms since the last shot fell due
    float lastStep = 0.0f;        // ms: the time step of the last Update
    Weapon weapon = Weapon::Normal;
    float thrustSoundTimer = 0.0f;               // ms
    float invulnerableTime = StartInvulnerable;  // ms left
    std::unique_ptr<FlameEmitter> flame;
    bool bounced = false;              // toggles on each frame of contact with the huge asteroid
    bool touchedHugeAsteroid = false;  // in this frame; the pass reports each contact twice
    bool turnClockwise = false;
    bool turnCounterClockwise = false;
    bool thrusting = false;
    bool vulnerable = false;
    float previousX = 0.0f;  // position before the last move
    float previousY = 0.0f;
    float analogTurn = 0.0f;  // degrees per second, from the controller

private:
    void ApplyContact(BaseObject* other);
    void BounceOff(const BaseObject* hugeAsteroid);
    static std::unique_ptr<FlameEmitter> NewFlame();
};
