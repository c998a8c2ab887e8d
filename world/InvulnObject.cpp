#include "world/InvulnObject.h"

#include <cmath>

#include "render/AssetCatalogue.h"

InvulnObject::InvulnObject(Vec2 position, float lifetime)
    : PickupObject(ObjectKind::Invuln, Points, position, lifetime) {}

float InvulnObject::WobbleAngle() const {
    // About seven rocks of 6 degrees either way over its life.
    return 6.0f * std::sin(45.0f * LifeFraction());
}

void InvulnObject::Draw() {
    DrawPickup(WobbleAngle(), PickupLook{Catalogue.powerInvuln, Catalogue.glslPowerInvuln,
                                         Catalogue.glslPowerInvulnNormal, false, 2});
}
