// The player's ship: its lit and shielded pictures for the fixed-function path, its seven wreck
// pieces, and the albedo, normal maps and shield shell of the shader path.
#include <algorithm>
#include <cmath>

#include "tools/forge/Sprites.h"

namespace {

constexpr int ShipSize = 256;

// The ship's outline parts in a 256 x 256 square (4 x 4 world units), nose up. `grey` selects
// the height drawing (shades of grey are heights) over the colour drawing.
void WingPath(cairo_t* cr) {
    cairo_new_path(cr);
    cairo_move_to(cr, 128, 62);
    cairo_line_to(cr, 220, 186);
    cairo_line_to(cr, 216, 204);
    cairo_line_to(cr, 158, 194);
    cairo_line_to(cr, 150, 214);
    cairo_line_to(cr, 106, 214);
    cairo_line_to(cr, 98, 194);
    cairo_line_to(cr, 40, 204);
    cairo_line_to(cr, 36, 186);
    cairo_close_path(cr);
}

void FuselagePath(cairo_t* cr) {
    cairo_new_path(cr);
    cairo_move_to(cr, 128, 16);
    cairo_curve_to(cr, 140, 40, 150, 90, 150, 150);
    cairo_curve_to(cr, 150, 190, 146, 214, 140, 226);
    cairo_line_to(cr, 116, 226);
    cairo_curve_to(cr, 110, 214, 106, 190, 106, 150);
    cairo_curve_to(cr, 106, 90, 116, 40, 128, 16);
    cairo_close_path(cr);
}

void NacellePath(cairo_t* cr, double x) {
    cairo_new_path(cr);
    RoundedRectangle(cr, x - 9, 158, 18, 76, 8);
}

void DrawShipColours(cairo_t* cr) {
    // Wings: blue-grey plates with amber tips.
    WingPath(cr);
    cairo_pattern_t* wing = cairo_pattern_create_linear(0, 62, 0, 214);
    cairo_pattern_add_color_stop_rgb(wing, 0, 0.70, 0.76, 0.86);
    cairo_pattern_add_color_stop_rgb(wing, 1, 0.42, 0.48, 0.62);
    cairo_set_source(cr, wing);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(wing);
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgb(cr, 0.18, 0.22, 0.32);
    cairo_stroke(cr);
    for (double side : {-1.0, 1.0}) {
        cairo_new_path(cr);
        cairo_move_to(cr, 128 + side * 78, 166);
        cairo_line_to(cr, 128 + side * 92, 186);
        cairo_line_to(cr, 128 + side * 88, 203);
        cairo_line_to(cr, 128 + side * 74, 200);
        cairo_close_path(cr);
        SetColour(cr, Palette::Amber);
        cairo_fill(cr);
        // Panel lines.
        cairo_set_line_width(cr, 1.2);
        cairo_set_source_rgba(cr, 0.15, 0.18, 0.28, 0.8);
        cairo_move_to(cr, 128 + side * 30, 110);
        cairo_line_to(cr, 128 + side * 60, 196);
        cairo_move_to(cr, 128 + side * 52, 140);
        cairo_line_to(cr, 128 + side * 84, 186);
        cairo_stroke(cr);
    }
    for (double x : {104.0, 152.0}) {
        NacellePath(cr, x);
        cairo_set_source_rgb(cr, 0.35, 0.38, 0.46);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0.14, 0.16, 0.24);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        RoundedRectangle(cr, x - 6, 222, 12, 10, 4);
        cairo_set_source_rgb(cr, 0.55, 0.92, 1.0);
        cairo_fill(cr);
    }
    FuselagePath(cr);
    cairo_pattern_t* hull = cairo_pattern_create_linear(106, 0, 150, 0);
    cairo_pattern_add_color_stop_rgb(hull, 0, 0.62, 0.67, 0.76);
    cairo_pattern_add_color_stop_rgb(hull, 0.5, 0.90, 0.93, 0.97);
    cairo_pattern_add_color_stop_rgb(hull, 1, 0.58, 0.63, 0.72);
    cairo_set_source(cr, hull);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(hull);
    cairo_set_source_rgb(cr, 0.18, 0.22, 0.32);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // A stripe down the spine and the canopy.
    cairo_new_path(cr);
    cairo_rectangle(cr, 125, 136, 6, 80);
    SetColour(cr, Palette::Amber);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 128, 96);
    cairo_scale(cr, 9, 24);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, 72, 0, 120);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.45, 0.90, 1.0);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.04, 0.20, 0.38);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
}

void DrawShipHeights(cairo_t* cr) {
    WingPath(cr);
    cairo_pattern_t* wing = cairo_pattern_create_radial(128, 150, 10, 128, 150, 110);
    cairo_pattern_add_color_stop_rgb(wing, 0, 0.45, 0.45, 0.45);
    cairo_pattern_add_color_stop_rgb(wing, 1, 0.22, 0.22, 0.22);
    cairo_set_source(cr, wing);
    cairo_fill(cr);
    cairo_pattern_destroy(wing);
    for (double x : {104.0, 152.0}) {
        NacellePath(cr, x);
        cairo_pattern_t* pod = cairo_pattern_create_linear(x - 9, 0, x + 9, 0);
        cairo_pattern_add_color_stop_rgb(pod, 0, 0.35, 0.35, 0.35);
        cairo_pattern_add_color_stop_rgb(pod, 0.5, 0.68, 0.68, 0.68);
        cairo_pattern_add_color_stop_rgb(pod, 1, 0.35, 0.35, 0.35);
        cairo_set_source(cr, pod);
        cairo_fill(cr);
        cairo_pattern_destroy(pod);
    }
    FuselagePath(cr);
    cairo_pattern_t* hull = cairo_pattern_create_linear(106, 0, 150, 0);
    cairo_pattern_add_color_stop_rgb(hull, 0, 0.45, 0.45, 0.45);
    cairo_pattern_add_color_stop_rgb(hull, 0.5, 0.85, 0.85, 0.85);
    cairo_pattern_add_color_stop_rgb(hull, 1, 0.45, 0.45, 0.45);
    cairo_set_source(cr, hull);
    cairo_fill(cr);
    cairo_pattern_destroy(hull);
    cairo_save(cr);
    cairo_translate(cr, 128, 96);
    cairo_scale(cr, 9, 24);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_pattern_t* bulb = cairo_pattern_create_radial(128, 92, 2, 128, 96, 24);
    cairo_pattern_add_color_stop_rgb(bulb, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(bulb, 1, 0.85, 0.85, 0.85);
    cairo_set_source(cr, bulb);
    cairo_fill(cr);
    cairo_pattern_destroy(bulb);
}

// A box blur, so the relief has no hard steps between the ship's parts.
void Soften(HeightField& field, int radius) {
    std::vector<float> copy = field.heights;
    for (int y = 0; y < field.height; ++y) {
        for (int x = 0; x < field.width; ++x) {
            float sum = 0;
            int count = 0;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    int sx = std::clamp(x + dx, 0, field.width - 1);
                    int sy = std::clamp(y + dy, 0, field.height - 1);
                    sum += copy[sy * field.width + sx];
                    ++count;
                }
            }
            field.H(x, y) = sum / count;
        }
    }
}

// Which wreck piece a pixel of the 256-pixel ship belongs to, along jagged break lines. The
// pieces fly apart the way they lie: the nose (6) and the right front (5) upwards and right,
// the wings (4 left, 0 right) sideways, the engines (1, 2) backwards.
int PieceAt(int x, int y) {
    double jagX = x + 5.0 * std::sin(y * 0.45) + 3.0 * std::sin(y * 1.3);
    double jagY = y + 5.0 * std::sin(x * 0.5) + 3.0 * std::sin(x * 1.7);
    if (jagY < 82) {
        return 6;
    }
    if (jagX < 100) {
        return 4;
    }
    if (jagX >= 156) {
        return 0;
    }
    bool right = jagX >= 128;
    bool front = jagY < 150;
    if (front) {
        return right ? 5 : 1;
    }
    return right ? 3 : 2;
}

// The shield: a bright shell near the sprite's edge, faint inside, from 0 to 1.
float ShieldShell(int x, int y, int size) {
    double d = std::hypot(x + 0.5 - size / 2.0, y + 0.5 - size / 2.0) / (size / 2.0);
    double shell = std::exp(-std::pow((d - 0.88) / 0.07, 2.0));
    double inside = d < 0.88 ? 0.18 + 0.3 * std::pow(d / 0.88, 4.0) : 0.0;
    double fade = std::clamp((0.98 - d) / 0.03, 0.0, 1.0);
    return static_cast<float>(std::max(shell, inside) * fade);
}

// The ship over its shield, for the fixed-function invulnerable ship.
Bitmap ShieldedShip(const Bitmap& ship) {
    Bitmap out(ship.width, ship.height);
    for (int y = 0; y < ship.height; ++y) {
        for (int x = 0; x < ship.width; ++x) {
            float shell = ShieldShell(x, y, ship.width);
            float ripple = 0.75f + 0.25f * FractalNoise(x * 0.04f, y * 0.04f, 64, 3, 5);
            Colour shield = Mix(Palette::Cyan, Palette::White, shell * 0.4f);
            shield.a = shell * ripple;
            const Colour& s = ship.At(x, y);
            float a = s.a + shield.a * (1 - s.a);
            Colour c;
            if (a > 0) {
                c.r = (s.r * s.a + shield.r * shield.a * (1 - s.a)) / a;
                c.g = (s.g * s.a + shield.g * shield.a * (1 - s.a)) / a;
                c.b = (s.b * s.a + shield.b * shield.a * (1 - s.a)) / a;
            }
            c = Mix(c, Palette::Cyan, 0.15f * shell);
            c.a = a;
            out.At(x, y) = c;
        }
    }
    return out;
}

}  // namespace

ShipPictures MakeShip(int size) {
    Canvas colours(size, size, ShipSize, ShipSize);
    DrawShipColours(colours.cr);
    Canvas heights(size, size, ShipSize, ShipSize);
    DrawShipHeights(heights.cr);
    ShipPictures ship{BitmapFromCanvas(colours), HeightField(size, size), Bitmap(size, size)};
    Bitmap grey = BitmapFromCanvas(heights);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            ship.field.H(x, y) = grey.At(x, y).r * grey.At(x, y).a;
            ship.field.Cover(x, y) = ship.albedo.At(x, y).a;
        }
    }
    Soften(ship.field, std::max(1, size / 128));
    const float relief = size * 0.35f;
    ship.lit = LightSurface(ship.albedo, ship.field, relief, 0.6f);
    return ship;
}

bool ForgeShip(const ForgeContext& context) {
    ShipPictures ship = MakeShip(ShipSize);
    const float relief = ShipSize * 0.35f;
    Bitmap normals = ship.field.NormalMap(relief);
    Bitmap shellNormals = normals;
    for (int y = 0; y < ShipSize; ++y) {
        for (int x = 0; x < ShipSize; ++x) {
            shellNormals.At(x, y).a = ShieldShell(x, y, ShipSize);
        }
    }
    // The ship is drawn with t = 1 at the top; the wreck pieces with t = 0 at the top.
    bool written =
        WriteBitmap(context, "textures/gameplay/ship.tga", ship.lit, true, TopRow::HighT) &&
        WriteBitmap(context, "textures/gameplay/shipinv.tga", ShieldedShip(ship.lit), true,
                    TopRow::HighT) &&
        WriteBitmap(context, "textures/glsl/ship.tga", ship.albedo, true, TopRow::HighT) &&
        WriteBitmap(context, "textures/glsl/shipn.tga", normals, false, TopRow::HighT) &&
        WriteBitmap(context, "textures/glsl/shipinv.tga", ShieldedShip(ship.albedo), true,
                    TopRow::HighT) &&
        WriteBitmap(context, "textures/glsl/shipinvn.tga", shellNormals, true, TopRow::HighT);
    for (int piece = 0; written && piece < 7; ++piece) {
        Bitmap part(ShipSize, ShipSize);
        for (int y = 0; y < ShipSize; ++y) {
            for (int x = 0; x < ShipSize; ++x) {
                if (PieceAt(x, y) != piece) {
                    part.At(x, y) = Colour{0, 0, 0, 0};  // clear, so the other pieces show
                    continue;
                }
                Colour c = ship.lit.At(x, y);
                // Scorched, glowing edges where the hull tore.
                bool edge = false;
                for (int d = -3; d <= 3 && !edge; ++d) {
                    edge = PieceAt(std::clamp(x + d, 0, ShipSize - 1), y) != piece ||
                           PieceAt(x, std::clamp(y + d, 0, ShipSize - 1)) != piece;
                }
                if (edge) {
                    float hull = c.a;  // scorch the hull only, not the clear space around it
                    c = Mix(c, Palette::Ember, 0.7f);
                    c.a = hull;
                }
                part.At(x, y) = c;
            }
        }
        std::string path = "textures/gameplay/shipp" + std::to_string(piece) + ".tga";
        written = WriteBitmap(context, path.c_str(), part, true, TopRow::LowT);
    }
    return written;
}

FORGE_STEP("ship", ForgeShip);
