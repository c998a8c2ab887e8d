#pragma once
#include <cstdint>
#include <vector>

#include "tools/forge/Canvas.h"

// Straight-alpha RGBA colour with components from 0 to 1.
struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

Colour Mix(const Colour& from, const Colour& to, float amount);

// 0 up to edge0, 1 from edge1, and a smooth rise between (edge1 may lie below edge0).
float Smoothstep(float edge0, float edge1, float x);

// A picture computed pixel by pixel (procedural surfaces, normal maps, noise). Row 0 is the top
// of the picture, as on a Canvas.
struct Bitmap {
    Bitmap(int width, int height) : width(width), height(height), pixels(width * height) {}

    Colour& At(int x, int y) { return pixels[y * width + x]; }
    const Colour& At(int x, int y) const { return pixels[y * width + x]; }

    TargaPixels ToTarga(bool alpha, TopRow top) const;

    int width;
    int height;
    std::vector<Colour> pixels;
};

// Canvas pixels as a Bitmap, and a Bitmap drawn onto a Canvas (over what is there) with its
// top-left corner at (x, y) and the given size in the canvas's units.
Bitmap BitmapFromCanvas(const Canvas& canvas);
void PaintBitmap(Canvas& canvas, const Bitmap& bitmap, double x, double y, double width,
                 double height, double opacity = 1.0);

// Smooth value noise that tiles with the given period (in lattice cells), and its fractal sum
// of octaves; both give values from 0 to 1. The seed picks a different field.
float TiledNoise(float x, float y, int period, uint32_t seed);
float FractalNoise(float x, float y, int period, int octaves, uint32_t seed);

// The same over 3-D space, without a period. A sphere textured at its surface points has no
// seam and no pole where the picture would pinch.
float SpaceNoise(float x, float y, float z, uint32_t seed);
float FractalSpaceNoise(float x, float y, float z, int octaves, uint32_t seed);

// A surface's height (0 to 1) and coverage. Normals and lighting are derived from it, so the
// colour picture and the normal map of a sprite always show the same relief.
struct HeightField {
    HeightField(int width, int height)
        : width(width), height(height), heights(width * height), cover(width * height) {}

    float& H(int x, int y) { return heights[y * width + x]; }
    float HeightAt(int x, int y) const;  // clamped to the edges
    float& Cover(int x, int y) { return cover[y * width + x]; }

    // The unit normal at a pixel, x to the right and y up as the picture is seen; `relief`
    // scales the slopes.
    void NormalAt(int x, int y, float relief, float out[3]) const;

    // The normal map: normals as colours (n * 0.5 + 0.5), coverage as alpha.
    Bitmap NormalMap(float relief) const;

    int width;
    int height;
    std::vector<float> heights;
    std::vector<float> cover;
};

// Lights an albedo picture with a height field's normals from a fixed light above the upper
// left, the look of the fixed-function sprites; alpha comes from the albedo.
Bitmap LightSurface(const Bitmap& albedo, const HeightField& field, float relief, float specular);

// Writes a picture as a Targa file under the asset root, rows ordered for `top`.
bool WriteBitmap(const ForgeContext& context, const char* path, const Bitmap& bitmap, bool alpha,
                 TopRow top);
bool WriteCanvas(const ForgeContext& context, const char* path, const Canvas& canvas, bool alpha,
                 TopRow top);
