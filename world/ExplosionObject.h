#pragma once
#include "world/BaseObject.h"

// The wreck of the ship: it plays the debris sound once when created and, for its duration,
// draws the ship's picture as seven pieces drifting apart. It has no body, so nothing ever
// touches it; while one exists the level holds back the next ship.
class ExplosionObject : public BaseObject {
public:
    ExplosionObject(Vec2 position, float duration);

    void Update(float dt) override;
    void Draw() override;

    static constexpr int PieceCount = 7;
    static constexpr float PieceHalfSize = 2.0f;
    static constexpr float ShipWreckDuration = 0.75f;

    // The offset of a piece's centre from the explosion's centre when the share t of its
    // duration has passed.
    static Vec2 PieceOffset(int piece, float age, float duration);

    float duration = 0.0f;  // seconds
    float age = 0.0f;       // seconds since creation
};
