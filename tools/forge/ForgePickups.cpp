// The four power-up pickups (also the HUD's weapon icons and shield bar): round badges with an
// embossed emblem, lit for the fixed-function path, albedo and normal map for the shader path.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/forge/Sprites.h"

namespace {

constexpr int BadgeSize = 128;

void ShieldEmblem(cairo_t* cr) {
    cairo_move_to(cr, 64, 30);
    cairo_curve_to(cr, 76, 38, 86, 40, 92, 40);
    cairo_curve_to(cr, 92, 70, 82, 88, 64, 100);
    cairo_curve_to(cr, 46, 88, 36, 70, 36, 40);
    cairo_curve_to(cr, 42, 40, 52, 38, 64, 30);
    cairo_close_path(cr);
}

void LongRangeEmblem(cairo_t* cr) {
    cairo_move_to(cr, 64, 26);
    cairo_line_to(cr, 82, 52);
    cairo_line_to(cr, 71, 52);
    cairo_line_to(cr, 71, 100);
    cairo_line_to(cr, 57, 100);
    cairo_line_to(cr, 57, 52);
    cairo_line_to(cr, 46, 52);
    cairo_close_path(cr);
    for (double x : {40.0, 88.0}) {
        RoundedRectangle(cr, x - 3, 62, 6, 32, 3);
    }
}

void SpreadEmblem(cairo_t* cr) {
    for (double angle : {-32.0, 0.0, 32.0}) {
        cairo_save(cr);
        cairo_translate(cr, 64, 98);
        cairo_rotate(cr, angle * M_PI / 180);
        cairo_move_to(cr, 0, -70);
        cairo_line_to(cr, 12, -52);
        cairo_line_to(cr, 5, -52);
        cairo_line_to(cr, 5, -8);
        cairo_line_to(cr, -5, -8);
        cairo_line_to(cr, -5, -52);
        cairo_line_to(cr, -12, -52);
        cairo_close_path(cr);
        cairo_restore(cr);
    }
}

void StarburstEmblem(cairo_t* cr) {
    for (int i = 0; i < 16; ++i) {
        double angle = i * M_PI / 8 - M_PI / 2;
        double radius = i % 2 == 0 ? 38 : 16;
        double x = 64 + std::cos(angle) * radius, y = 64 + std::sin(angle) * radius;
        if (i == 0) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_close_path(cr);
}

struct BadgeLook {
    const char* name;
    Colour disc;
    std::function<void(cairo_t*)> emblem;
    TopRow fixedTop;  // how the fixed-function pickup and the HUD map this picture
};

// The badge's colours and heights drawn with the same shapes.
void DrawBadge(cairo_t* cr, const BadgeLook& look, bool heights) {
    cairo_new_path(cr);
    cairo_arc(cr, 64, 64, 58, 0, 2 * M_PI);
    if (heights) {
        cairo_pattern_t* ring = cairo_pattern_create_radial(64, 64, 44, 64, 64, 58);
        cairo_pattern_add_color_stop_rgb(ring, 0, 0.45, 0.45, 0.45);
        cairo_pattern_add_color_stop_rgb(ring, 0.5, 0.75, 0.75, 0.75);
        cairo_pattern_add_color_stop_rgb(ring, 1, 0.35, 0.35, 0.35);
        cairo_set_source(cr, ring);
        cairo_fill(cr);
        cairo_pattern_destroy(ring);
    } else {
        cairo_pattern_t* ring = cairo_pattern_create_linear(0, 6, 0, 122);
        cairo_pattern_add_color_stop_rgb(ring, 0, 0.92, 0.94, 0.98);
        cairo_pattern_add_color_stop_rgb(ring, 1, 0.45, 0.50, 0.60);
        cairo_set_source(cr, ring);
        cairo_fill(cr);
        cairo_pattern_destroy(ring);
    }
    cairo_new_path(cr);
    cairo_arc(cr, 64, 64, 46, 0, 2 * M_PI);
    if (heights) {
        cairo_set_source_rgb(cr, 0.40, 0.40, 0.40);
        cairo_fill(cr);
    } else {
        cairo_pattern_t* disc = cairo_pattern_create_radial(56, 52, 4, 64, 64, 50);
        Colour bright = Mix(look.disc, Palette::White, 0.35f);
        cairo_pattern_add_color_stop_rgb(disc, 0, bright.r, bright.g, bright.b);
        cairo_pattern_add_color_stop_rgb(disc, 1, look.disc.r * 0.45, look.disc.g * 0.45,
                                         look.disc.b * 0.45);
        cairo_set_source(cr, disc);
        cairo_fill(cr);
        cairo_pattern_destroy(disc);
        cairo_new_path(cr);
        cairo_arc(cr, 64, 64, 46, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 0.05, 0.06, 0.12, 0.8);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    look.emblem(cr);
    if (heights) {
        cairo_set_source_rgb(cr, 0.80, 0.80, 0.80);
        cairo_fill(cr);
    } else {
        cairo_set_source_rgb(cr, 0.98, 0.98, 1.0);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0.05, 0.06, 0.12, 0.85);
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
    }
}

void Soften(HeightField& field) {
    std::vector<float> copy = field.heights;
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            float sum = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    sum += copy[std::clamp(y + dy, 0, field.height - 1) * field.width +
                                std::clamp(x + dx, 0, field.width - 1)];
                }
            }
            field.H(x, y) = sum / 9;
        }
    }
}

}  // namespace

bool ForgePickups(const ForgeContext& context) {
    // The invulnerability picture is mapped with t = 0 at the top everywhere; the three weapons
    // with t = 1 at the top on the fixed-function path and the HUD, t = 0 on the shader path.
    const BadgeLook looks[4] = {
        {"powerinvuln", {0.15f, 0.80f, 0.62f, 1}, ShieldEmblem, TopRow::LowT},
        {"powerlongrange", {0.95f, 0.42f, 0.16f, 1}, LongRangeEmblem, TopRow::HighT},
        {"powerspread", {0.62f, 0.30f, 0.92f, 1}, SpreadEmblem, TopRow::HighT},
        {"powerstarburst", {0.98f, 0.72f, 0.12f, 1}, StarburstEmblem, TopRow::HighT},
    };
    for (const BadgeLook& look : looks) {
        Canvas colours(BadgeSize, BadgeSize);
        DrawBadge(colours.cr, look, false);
        Canvas heights(BadgeSize, BadgeSize);
        DrawBadge(heights.cr, look, true);
        Bitmap albedo = BitmapFromCanvas(colours);
        Bitmap grey = BitmapFromCanvas(heights);
        HeightField field(BadgeSize, BadgeSize);
        for (int y = 0; y < BadgeSize; ++y) {
            for (int x = 0; x < BadgeSize; ++x) {
                field.H(x, y) = grey.At(x, y).r * grey.At(x, y).a;
                field.Cover(x, y) = albedo.At(x, y).a;
            }
        }
        Soften(field);
        const float relief = 45.0f;
        std::string name = look.name;
        if (!WriteBitmap(context, ("textures/gameplay/" + name + ".tga").c_str(),
                         LightSurface(albedo, field, relief, 0.6f), true, look.fixedTop) ||
            !WriteBitmap(context, ("textures/glsl/" + name + ".tga").c_str(), albedo, true,
                         TopRow::LowT) ||
            !WriteBitmap(context, ("textures/glsl/" + name + "n.tga").c_str(),
                         field.NormalMap(relief), false, TopRow::LowT)) {
            return false;
        }
    }
    return true;
}

FORGE_STEP("pickups", ForgePickups);
