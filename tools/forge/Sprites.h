#pragma once
#include <cstdint>

#include "tools/forge/Raster.h"
#include "tools/forge/Style.h"

// What a procedural rock looks like: size in pixels, noise seed, the colours of its light and
// dark stone and of its mineral veins, how far its outline wanders and how many craters it has.
struct RockLook {
    int size;
    uint32_t seed;
    Colour light;
    Colour dark;
    Colour vein;
    float lumpiness;
    int craters;
};

// A rock's relief and its unlit colours (alpha is its outline), from one set of noise fields.
struct Rock {
    HeightField field;
    Bitmap albedo;
};
Rock MakeRock(const RockLook& look);

// The three asteroid families, by image variant; the story pictures draw the same rocks.
extern const RockLook AsteroidLooks[3];

constexpr float RockRelief = 90.0f;  // slope scale of a 256-pixel rock's normals

// The player's ship, nose up, in a square of `size` pixels: the unlit colours, the relief, and
// the lit picture the fixed-function path draws. The menus and story pictures reuse it.
struct ShipPictures {
    Bitmap albedo;
    HeightField field;
    Bitmap lit;
};
ShipPictures MakeShip(int size);
