#include "tools/forge/Raster.h"

#include <algorithm>
#include <cmath>

namespace {

// A lattice point's value from 0 to 1; the plane's points are those with z = 0.
float Lattice(int x, int y, int z, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(z) * 3266489917u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFF) / 65535.0f;
}

float TiledLattice(int x, int y, int period, uint32_t seed) {
    x = ((x % period) + period) % period;
    y = ((y % period) + period) % period;
    return Lattice(x, y, 0, seed);
}

float Smooth(float t) {
    return t * t * t * (t * (t * 6 - 15) + 10);
}

float Lerp(float from, float to, float amount) {
    return from + (to - from) * amount;
}

// The fractal sum of `octaves` layers of `layer`(frequency, seed), each of twice the frequency
// and half the weight of the one before; 0 to 1 like each layer.
template <typename Layer>
float SumOctaves(int octaves, uint32_t seed, Layer layer) {
    float sum = 0, weight = 0, amplitude = 1;
    int frequency = 1;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += layer(frequency, seed + octave * 101u) * amplitude;
        weight += amplitude;
        amplitude *= 0.5f;
        frequency *= 2;
    }
    return sum / weight;
}

uint8_t Byte(float value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

float Smoothstep(float edge0, float edge1, float x) {
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

Colour Mix(const Colour& from, const Colour& to, float amount) {
    return {from.r + (to.r - from.r) * amount, from.g + (to.g - from.g) * amount,
            from.b + (to.b - from.b) * amount, from.a + (to.a - from.a) * amount};
}

TargaPixels Bitmap::ToTarga(bool alpha, TopRow top) const {
    TargaPixels out;
    out.width = static_cast<uint32_t>(width);
    out.height = static_cast<uint32_t>(height);
    out.bitsPerPixel = alpha ? 32 : 24;
    out.pixels.reserve(pixels.size() * (alpha ? 4 : 3));
    for (int row = 0; row < height; ++row) {
        int y = top == TopRow::HighT ? height - 1 - row : row;
        for (int x = 0; x < width; ++x) {
            const Colour& c = At(x, y);
            out.pixels.push_back(Byte(c.r));
            out.pixels.push_back(Byte(c.g));
            out.pixels.push_back(Byte(c.b));
            if (alpha) {
                out.pixels.push_back(Byte(c.a));
            }
        }
    }
    return out;
}

Bitmap BitmapFromCanvas(const Canvas& canvas) {
    TargaPixels pixels = canvas.Pixels(true, TopRow::LowT);
    Bitmap bitmap(canvas.pixelWidth, canvas.pixelHeight);
    for (size_t i = 0; i < bitmap.pixels.size(); ++i) {
        const uint8_t* p = &pixels.pixels[i * 4];
        bitmap.pixels[i] = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
    }
    return bitmap;
}

void PaintBitmap(Canvas& canvas, const Bitmap& bitmap, double x, double y, double width,
                 double height, double opacity) {
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.width, bitmap.height);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    int stride = cairo_image_surface_get_stride(image);
    for (int row = 0; row < bitmap.height; ++row) {
        uint32_t* line = reinterpret_cast<uint32_t*>(data + row * stride);
        for (int column = 0; column < bitmap.width; ++column) {
            const Colour& c = bitmap.At(column, row);
            float a = std::clamp(c.a, 0.0f, 1.0f);
            line[column] = (static_cast<uint32_t>(Byte(a)) << 24) |
                           (static_cast<uint32_t>(Byte(c.r * a)) << 16) |
                           (static_cast<uint32_t>(Byte(c.g * a)) << 8) | Byte(c.b * a);
        }
    }
    cairo_surface_mark_dirty(image);
    cairo_t* cr = canvas.cr;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, width / bitmap.width, height / bitmap.height);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BEST);
    cairo_paint_with_alpha(cr, opacity);
    cairo_restore(cr);
    cairo_surface_destroy(image);
}

float TiledNoise(float x, float y, int period, uint32_t seed) {
    int x0 = static_cast<int>(std::floor(x));
    int y0 = static_cast<int>(std::floor(y));
    float fx = Smooth(x - x0);
    float fy = Smooth(y - y0);
    float top =
        Lerp(TiledLattice(x0, y0, period, seed), TiledLattice(x0 + 1, y0, period, seed), fx);
    float bottom = Lerp(TiledLattice(x0, y0 + 1, period, seed),
                        TiledLattice(x0 + 1, y0 + 1, period, seed), fx);
    return Lerp(top, bottom, fy);
}

float FractalNoise(float x, float y, int period, int octaves, uint32_t seed) {
    return SumOctaves(octaves, seed, [&](int frequency, uint32_t layerSeed) {
        return TiledNoise(x * frequency, y * frequency, period * frequency, layerSeed);
    });
}

float SpaceNoise(float x, float y, float z, uint32_t seed) {
    int x0 = static_cast<int>(std::floor(x));
    int y0 = static_cast<int>(std::floor(y));
    int z0 = static_cast<int>(std::floor(z));
    float fx = Smooth(x - x0);
    float fy = Smooth(y - y0);
    float fz = Smooth(z - z0);
    float layers[2];
    for (int dz = 0; dz < 2; ++dz) {
        float top = Lerp(Lattice(x0, y0, z0 + dz, seed), Lattice(x0 + 1, y0, z0 + dz, seed), fx);
        float bottom =
            Lerp(Lattice(x0, y0 + 1, z0 + dz, seed), Lattice(x0 + 1, y0 + 1, z0 + dz, seed), fx);
        layers[dz] = Lerp(top, bottom, fy);
    }
    return Lerp(layers[0], layers[1], fz);
}

float FractalSpaceNoise(float x, float y, float z, int octaves, uint32_t seed) {
    return SumOctaves(octaves, seed, [&](int frequency, uint32_t layerSeed) {
        return SpaceNoise(x * frequency, y * frequency, z * frequency, layerSeed);
    });
}

float HeightField::HeightAt(int x, int y) const {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    return heights[y * width + x];
}

void HeightField::NormalAt(int x, int y, float relief, float out[3]) const {
    // Rows run downwards, so the slope upwards is the negative of the row difference.
    float dx = (HeightAt(x + 1, y) - HeightAt(x - 1, y)) * 0.5f * relief;
    float dy = (HeightAt(x, y - 1) - HeightAt(x, y + 1)) * 0.5f * relief;
    float length = std::sqrt(dx * dx + dy * dy + 1.0f);
    out[0] = -dx / length;
    out[1] = -dy / length;
    out[2] = 1.0f / length;
}

Bitmap HeightField::NormalMap(float relief) const {
    Bitmap map(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float n[3];
            NormalAt(x, y, relief, n);
            map.At(x, y) = {n[0] * 0.5f + 0.5f, n[1] * 0.5f + 0.5f, n[2] * 0.5f + 0.5f,
                            cover[y * width + x]};
        }
    }
    return map;
}

Bitmap LightSurface(const Bitmap& albedo, const HeightField& field, float relief, float specular) {
    const float light[3] = {-0.45f, 0.55f, 0.70f};
    float length = std::sqrt(light[0] * light[0] + light[1] * light[1] + light[2] * light[2]);
    const float l[3] = {light[0] / length, light[1] / length, light[2] / length};
    float h[3] = {l[0], l[1], l[2] + 1.0f};
    float hl = std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
    Bitmap lit(albedo.width, albedo.height);
    for (int y = 0; y < albedo.height; ++y) {
        for (int x = 0; x < albedo.width; ++x) {
            float n[3];
            field.NormalAt(x, y, relief, n);
            float diffuse = std::max(0.0f, n[0] * l[0] + n[1] * l[1] + n[2] * l[2]);
            float shine = std::max(0.0f, (n[0] * h[0] + n[1] * h[1] + n[2] * h[2]) / hl);
            float highlight = specular * std::pow(shine, 28.0f);
            const Colour& c = albedo.At(x, y);
            float k = 0.30f + 0.95f * diffuse;
            lit.At(x, y) = {c.r * k + highlight, c.g * k + highlight, c.b * k + highlight, c.a};
        }
    }
    return lit;
}

bool WriteBitmap(const ForgeContext& context, const char* path, const Bitmap& bitmap, bool alpha,
                 TopRow top) {
    return WriteTargaFile(context, path, bitmap.ToTarga(alpha, top), top);
}

bool WriteCanvas(const ForgeContext& context, const char* path, const Canvas& canvas, bool alpha,
                 TopRow top) {
    return WriteTargaFile(context, path, canvas.Pixels(alpha, top), top);
}
