#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/Clock.h"
#include "world/BaseObject.h"

// One flame particle: where and with which heading it was emitted, and how it looks now.
struct FlameParticle {
    bool active = false;
    float birthTime = 0.0f;  // seconds on the emitter's clock
    float x = 0.0f;          // the emission point in world coordinates
    float y = 0.0f;
    float z = 0.0f;
    float heading = 0.0f;  // degrees: the ship's heading at emission
    float phase = 0.0f;    // degrees, 0 to 359: where its sideways wobble starts
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 0.0f;
};

struct FlameColour {
    float red;
    float green;
    float blue;
};

// The flame state shared by every emitter and reset by each one's constructor; only the ship's
// emitter exists at a time.
extern float FlamePreviousTime;  // emitter clock reading of the update before last, seconds
extern float FlameCurrentTime;   // emitter clock reading of the last update, seconds
extern float FlameEmitDebt;      // emission time owed, seconds
extern std::array<FlameColour, 4> FlameColours;

// The ship's thrust flame: while emitting it releases up to 750 particles per second at the spawn
// point it is given; each stays where it was born, drifts backwards along the heading it was born
// with, wobbles sideways more and more, and grows and fades over its lifetime. The pool is
// allocated once with room for every particle that can be alive, so emission never allocates.
class FlameEmitter {
public:
    FlameEmitter(float amplitude, float lifetime, float wobbleRate);
    FlameEmitter(const FlameEmitter&) = delete;
    FlameEmitter& operator=(const FlameEmitter&) = delete;

    // Called by the ship's every Update, emitting or not: pays the emission owed since the last
    // update into free particles and ages every living one.
    void UpdateFlame(Vec3 spawn, float heading);
    // Draws every living particle, in pool order, in the current drawing path.
    void DrawFlame() const;

    static constexpr float ParticlesPerSecond = 750.0f;

    std::unique_ptr<Clock> clock;  // the emitter's own stopwatch
    float frameDelta = 0.0f;       // seconds between the last two updates
    float emitInterval = 0.0013333333f;
    float driftSpeed = 10.0f;  // units per second backwards
    float amplitude = 0.0f;    // sideways wobble at the end of a particle's life, units
    float wobbleRate = 0.0f;   // turns per second
    float lifetime = 0.0f;     // seconds
    bool emitting = false;     // thrust is held
    int32_t capacity = 0;      // ceil(lifetime) x 750 + 1
    std::vector<FlameParticle> particles;
    std::vector<Vec3> vertices;  // each particle's offset from its emission point, emission frame

private:
    // The index of the first inactive particle, or -1 when every one is alive.
    int32_t FirstFreeParticle() const;
    void Emit(int32_t index, Vec3 spawn, float heading);
};
