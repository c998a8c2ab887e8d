#include "world/LongRangeObject.h"

#include <cmath>

#include "render/AssetCatalogue.h"

LongRangeObject::LongRangeObject(Vec2 position, float lifetime)
    : PickupObject(ObjectKind::LongRange, Points, position, lifetime) {}

float LongRangeObject::WobbleAngle() const {
    return 360.0f * LifeFraction();
}

void LongRangeObject::Draw() {
    DrawPickup(WobbleAngle(), PickupLook{Catalogue.powerLongRange, Catalogue.glslPowerLongRange,
                                         Catalogue.glslPowerLongRangeNormal, true, 2});
}
