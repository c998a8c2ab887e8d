#include "world/StarburstObject.h"

#include <cmath>

#include "render/AssetCatalogue.h"

StarburstObject::StarburstObject(Vec2 position, float lifetime)
    : PickupObject(ObjectKind::Starburst, Points, position, lifetime) {}

float StarburstObject::WobbleAngle() const {
    return 360.0f * LifeFraction();
}

void StarburstObject::Draw() {
    DrawPickup(WobbleAngle(), PickupLook{Catalogue.powerStarburst, Catalogue.glslPowerStarburst,
                                         Catalogue.glslPowerStarburstNormal, true, 1});
}
