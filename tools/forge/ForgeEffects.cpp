// Small effect textures: the projectile streak, the flame particle, the HUD box, the shield
// noise and the shader flame's heat ramp and puff.
#include <algorithm>
#include <cmath>

#include "tools/forge/Sprites.h"

namespace {

// The projectile: a hot white core in a cyan glow, its head at the top (t = 0), stretched by
// the game over 0.6 x 4 units and shown square for flak.
Bitmap Bullet() {
    Bitmap bullet(32, 128);
    for (int y = 0; y < bullet.height; ++y) {
        for (int x = 0; x < bullet.width; ++x) {
            float across = (x + 0.5f - 16) / 16;
            float along = (y + 0.5f) / bullet.height;
            float head = Smoothstep(0.0f, 0.08f, along);
            float glow = std::exp(-across * across * 7) * head;
            float core = std::exp(-across * across * 60) * (1.2f - along * 0.6f) * head;
            Colour c = Mix(Palette::Cyan, Palette::White, std::min(1.0f, core));
            c.a = std::clamp(glow * 0.85f + core, 0.0f, 1.0f) *
                  Smoothstep(0.0f, 0.2f, 0.5f - std::fabs(across) * 0.5f);
            bullet.At(x, y) = c;
        }
    }
    return bullet;
}

// A soft white puff; the flame colours it.
Bitmap Particle() {
    Bitmap puff(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            float d = std::hypot(x + 0.5f - 32, y + 0.5f - 32) / 31;
            float a = std::pow(std::max(0.0f, 1 - d), 1.6f);
            puff.At(x, y) = {1, 1, 1, a};
        }
    }
    return puff;
}

// The HUD box: a dark glass square with a cyan rim and brighter corners.
void DisplayBox(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    Panel(cr, 6, 6, 116, 116, 14, Palette::Cyan, 5, 0.55);
    cairo_set_line_width(cr, 7);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColour(cr, Mix(Palette::Cyan, Palette::White, 0.5f));
    for (double x : {10.0, 118.0}) {
        for (double y : {10.0, 118.0}) {
            double dx = x < 64 ? 1 : -1, dy = y < 64 ? 1 : -1;
            cairo_move_to(cr, x + dx * 24, y);
            cairo_line_to(cr, x, y);
            cairo_line_to(cr, x, y + dy * 24);
            cairo_stroke(cr);
        }
    }
}

// Tiling noise for the shield's shimmer: coarse in red, fine in green, another field in blue.
Bitmap Noise() {
    Bitmap noise(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            float u = x / 256.0f, v = y / 256.0f;
            noise.At(x, y) = {FractalNoise(u * 8, v * 8, 8, 5, 401),
                              FractalNoise(u * 16, v * 16, 16, 4, 503),
                              FractalNoise(u * 4, v * 4, 4, 6, 607), 1};
        }
    }
    return noise;
}

// The heat ramp: cool and clear on the left, white-hot on the right, with a ripple up the
// picture so neighbouring puffs differ.
Bitmap HeatRamp() {
    const Colour stops[4] = {{0.05f, 0.08f, 0.35f, 0.0f},
                             {0.10f, 0.35f, 0.95f, 0.55f},
                             {0.35f, 0.85f, 1.00f, 0.90f},
                             {0.92f, 0.98f, 1.00f, 1.00f}};
    Bitmap ramp(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            float heat = x / 127.0f;
            heat = std::clamp(heat + (FractalNoise(x / 32.0f, y / 16.0f, 8, 3, 77) - 0.5f) * 0.15f,
                              0.0f, 1.0f);
            float at = heat * 3;
            int i = std::min(2, static_cast<int>(at));
            ramp.At(x, y) = Mix(stops[i], stops[i + 1], at - i);
        }
    }
    return ramp;
}

// A flame puff: how hot each point is (red, green, blue alike) and its soft, wispy shape (alpha).
Bitmap FlamePuff() {
    Bitmap puff(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            float d = std::hypot(x + 0.5f - 64, y + 0.5f - 64) / 62;
            float wisp = FractalNoise(x / 16.0f, y / 16.0f, 8, 4, 313);
            float shape = std::pow(std::max(0.0f, 1 - d * (0.85f + 0.3f * wisp)), 1.5f);
            float heat = std::clamp(std::pow(std::max(0.0f, 1 - d), 1.2f) * (0.8f + 0.4f * wisp),
                                    0.0f, 1.0f);
            puff.At(x, y) = {heat, heat, heat, shape};
        }
    }
    return puff;
}

}  // namespace

bool ForgeEffects(const ForgeContext& context) {
    Canvas box(128, 128);
    DisplayBox(box);
    return WriteBitmap(context, "textures/gameplay/bullet.tga", Bullet(), true, TopRow::LowT) &&
           WriteBitmap(context, "textures/gameplay/particle.tga", Particle(), true,
                       TopRow::HighT) &&
           WriteCanvas(context, "textures/gameplay/displaybox.tga", box, true, TopRow::HighT) &&
           WriteBitmap(context, "textures/glsl/noise.tga", Noise(), false, TopRow::HighT) &&
           WriteBitmap(context, "textures/glsl/flame.tga", HeatRamp(), true, TopRow::HighT) &&
           WriteBitmap(context, "textures/glsl/flamealpha.tga", FlamePuff(), true, TopRow::HighT);
}

FORGE_STEP("effects", ForgeEffects);
