#pragma once
#include "world/BaseObject.h"

// The burst of a starburst shot: invisible and untouchable (a body with no circles), it waits a
// short delay and then releases eight fragments in a star turned by a random base angle.
// Every Update reseeds the random generator with the calendar second before it draws that angle,
// so all bursts within one second share it.
class StarSpawner : public BaseObject {
public:
    StarSpawner(Vec2 position, float delay);

    void Update(float dt) override;

    static constexpr int FragmentCount = 8;
    static constexpr float FragmentLifetime = 0.1f;

    float delay = 0.0f;    // seconds before the burst
    float elapsed = 0.0f;  // seconds waited
};
