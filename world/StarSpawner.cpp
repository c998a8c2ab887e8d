#include "world/StarSpawner.h"

#include <cstdlib>

#include "app/Platform.h"
#include "world/ObjectList.h"
#include "world/StarFlak.h"

StarSpawner::StarSpawner(Vec2 position, float delay)
    : BaseObject(ObjectKind::Projectile, 0, Vec3{position.x, position.y, PlayFieldZ}),
      delay(delay) {
    body.Place(position.x, position.y);
}

void StarSpawner::Update(float dt) {
    std::srand(static_cast<unsigned>(Platform.calendarTime()));
    float base = static_cast<float>(std::rand() % 360);
    elapsed += dt;
    if (elapsed < delay) {
        return;
    }
    for (int i = 0; i < FragmentCount; ++i) {
        float angle = static_cast<float>(i * 45) + base;
        if (angle >= 360.0f) {
            angle -= 360.0f;
        }
        Vec2 direction = FacingOf(angle);
        ObjectList->AddObject(new StarFlak(direction, direction, Vec2{position.x, position.y},
                                           angle, FragmentLifetime));
    }
    state = ObjectState::Dead;
}
