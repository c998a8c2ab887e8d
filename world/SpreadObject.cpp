#include "world/SpreadObject.h"

#include <cmath>

#include "render/AssetCatalogue.h"

SpreadObject::SpreadObject(Vec2 position, float lifetime)
    : PickupObject(ObjectKind::Spread, Points, position, lifetime) {}

float SpreadObject::WobbleAngle() const {
    return 360.0f * LifeFraction();
}

void SpreadObject::Draw() {
    DrawPickup(WobbleAngle(), PickupLook{Catalogue.powerSpread, Catalogue.glslPowerSpread,
                                         Catalogue.glslPowerSpreadNormal, true, 1});
}
