// The asteroids: three rocks for the small, medium and large asteroids (a lit picture for the
// fixed-function path, an albedo and a normal map for the shader path, all from one height
// field) and the huge final asteroid with its glowing fissures.
#include <algorithm>
#include <cmath>

#include "tools/forge/Sprites.h"

namespace {

struct Crater {
    float x, y, radius, depth;
};

}  // namespace

Rock MakeRock(const RockLook& look) {
    const int size = look.size;
    Rock rock{HeightField(size, size), Bitmap(size, size)};
    const float centre = size * 0.5f;
    const float radius = size * 0.43f;
    Scatter scatter(look.seed);
    std::vector<Crater> craters;
    for (int i = 0; i < look.craters; ++i) {
        float angle = static_cast<float>(scatter.Between(0, 2 * M_PI));
        float distance = static_cast<float>(std::sqrt(scatter.Next()) * radius * 0.75);
        craters.push_back({centre + std::cos(angle) * distance, centre + std::sin(angle) * distance,
                           static_cast<float>(scatter.Between(0.06, 0.2) * radius),
                           static_cast<float>(scatter.Between(0.08, 0.18))});
    }
    const float detailScale = 7.0f / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
            float distance = std::sqrt(dx * dx + dy * dy);
            float angle = std::atan2(dy, dx);
            // The outline: a circle pushed in and out by noise taken around it.
            float lumps = FractalNoise(std::cos(angle) * 1.6f + 50, std::sin(angle) * 1.6f + 50,
                                       4096, 4, look.seed) -
                          0.5f;
            float edge = radius * (1.0f + look.lumpiness * lumps);
            float t = distance / edge;
            float cover = std::clamp((edge - distance) / 1.5f + 0.5f, 0.0f, 1.0f);
            float dome = std::sqrt(std::max(0.0f, 1.0f - t * t));
            float detail = FractalNoise(x * detailScale, y * detailScale, 4096, 6, look.seed + 9);
            float grit =
                FractalNoise(x * detailScale * 6, y * detailScale * 6, 8192, 3, look.seed + 17);
            float height = 0.62f * dome + 0.28f * detail + 0.05f * grit;
            float crater = 0;
            for (const Crater& c : craters) {
                float d = std::hypot(x - c.x, y - c.y) / c.radius;
                if (d < 1.0f) {
                    crater -= c.depth * (1.0f - d * d);
                }
                crater += c.depth * 0.45f * std::exp(-(d - 1.0f) * (d - 1.0f) * 18.0f);
            }
            height += crater;
            rock.field.H(x, y) = height;
            rock.field.Cover(x, y) = cover;

            float tone =
                std::clamp(0.5f + (detail - 0.5f) * 1.8f + (grit - 0.5f) * 0.5f, 0.0f, 1.0f);
            Colour colour = Mix(look.dark, look.light, tone);
            float vein =
                std::pow(1.0f - std::fabs(2 * FractalNoise(x * detailScale * 2, y * detailScale * 2,
                                                           4096, 4, look.seed + 23) -
                                          1),
                         14.0f);
            colour = Mix(colour, look.vein, vein * 0.6f);
            float shade = 1.0f + std::min(0.0f, crater) * 2.0f;  // crater floors are darker
            rock.albedo.At(x, y) = {colour.r * shade, colour.g * shade, colour.b * shade, cover};
        }
    }
    return rock;
}

const RockLook AsteroidLooks[3] = {
    {256,
     11,
     {0.62f, 0.56f, 0.50f, 1},
     {0.24f, 0.21f, 0.19f, 1},
     {0.85f, 0.75f, 0.55f, 1},
     0.22f,
     6},
    {256,
     23,
     {0.66f, 0.48f, 0.38f, 1},
     {0.27f, 0.17f, 0.14f, 1},
     {0.95f, 0.62f, 0.35f, 1},
     0.30f,
     4},
    {256,
     37,
     {0.55f, 0.58f, 0.64f, 1},
     {0.18f, 0.20f, 0.25f, 1},
     {0.55f, 0.80f, 0.95f, 1},
     0.26f,
     7},
};

bool ForgeAsteroids(const ForgeContext& context) {
    for (int i = 0; i < 3; ++i) {
        Rock rock = MakeRock(AsteroidLooks[i]);
        std::string n = std::to_string(i);
        Bitmap lit = LightSurface(rock.albedo, rock.field, RockRelief, 0.25f);
        // Asteroids are drawn with t = 0 at the top of the sprite.
        if (!WriteBitmap(context, ("textures/gameplay/asteroid" + n + ".tga").c_str(), lit, true,
                         TopRow::LowT) ||
            !WriteBitmap(context, ("textures/glsl/asteroid" + n + ".tga").c_str(), rock.albedo,
                         true, TopRow::LowT) ||
            !WriteBitmap(context, ("textures/glsl/asteroid" + n + "n.tga").c_str(),
                         rock.field.NormalMap(RockRelief), false, TopRow::LowT)) {
            return false;
        }
    }

    // The final asteroid: a dark giant split by glowing fissures that light does not dim.
    RockLook giant{
        1024,  77, {0.40f, 0.36f, 0.36f, 1}, {0.10f, 0.09f, 0.10f, 1}, {0.55f, 0.25f, 0.15f, 1},
        0.16f, 14};
    Rock rock = MakeRock(giant);
    Bitmap lit = LightSurface(rock.albedo, rock.field, RockRelief * 3, 0.2f);
    for (int y = 0; y < lit.height; ++y) {
        for (int x = 0; x < lit.width; ++x) {
            float n = FractalNoise(x * 0.006f, y * 0.006f, 4096, 5, 991);
            float fissure = std::pow(1.0f - std::fabs(2 * n - 1), 18.0f);
            float inner = Smoothstep(0.2f, 0.9f, rock.field.HeightAt(x, y));
            float glow = fissure * inner * 1.4f;
            Colour& c = lit.At(x, y);
            c.r = std::min(1.0f, c.r + glow * 1.0f);
            c.g = std::min(1.0f, c.g + glow * 0.42f);
            c.b = std::min(1.0f, c.b + glow * 0.10f);
        }
    }
    return WriteBitmap(context, "textures/gameplay/finalasteroid.tga", lit, true, TopRow::LowT);
}

FORGE_STEP("asteroids", ForgeAsteroids);
