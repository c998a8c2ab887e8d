#include "tools/forge/Style.h"

#include <algorithm>
#include <cmath>

void SetColour(cairo_t* cr, const Colour& colour, double alpha) {
    cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, colour.a * alpha);
}

namespace {

void UseFont(cairo_t* cr, FontFace face, double size) {
    cairo_set_font_face(cr, LoadFontFace(face));
    cairo_set_font_size(cr, size);
}

double StartX(cairo_t* cr, const std::string& text, double x, Align align) {
    if (align == Align::Left) {
        return x;
    }
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return align == Align::Centre ? x - extents.x_advance / 2 : x - extents.x_advance;
}

}  // namespace

cairo_text_extents_t TextExtents(cairo_t* cr, const std::string& text, FontFace face, double size) {
    UseFont(cr, face, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents;
}

double TextWidth(cairo_t* cr, const std::string& text, FontFace face, double size) {
    return TextExtents(cr, text, face, size).x_advance;
}

void TextPath(cairo_t* cr, const std::string& text, FontFace face, double size, double x, double y,
              Align align) {
    UseFont(cr, face, size);
    cairo_move_to(cr, StartX(cr, text, x, align), y);
    cairo_text_path(cr, text.c_str());
}

double DrawText(cairo_t* cr, const std::string& text, FontFace face, double size, double x,
                double y, Align align, const Colour& colour) {
    cairo_new_path(cr);
    TextPath(cr, text, face, size, x, y, align);
    SetColour(cr, colour);
    cairo_fill(cr);
    return TextWidth(cr, text, face, size);
}

void GlowText(cairo_t* cr, const std::string& text, FontFace face, double size, double x, double y,
              Align align, const Colour& top, const Colour& bottom, const Colour& glow,
              double glowSize) {
    cairo_save(cr);
    cairo_new_path(cr);
    TextPath(cr, text, face, size, x, y, align);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int i = 6; i >= 1; --i) {
        cairo_new_path(cr);
        cairo_append_path(cr, path);
        cairo_set_line_width(cr, glowSize * i / 3.0);
        SetColour(cr, glow, 0.07);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_set_line_width(cr, size * 0.06);
    cairo_set_source_rgba(cr, 0.01, 0.02, 0.06, 0.9);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y - size * 0.8, 0, y);
    cairo_pattern_add_color_stop_rgba(fill, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(fill, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    cairo_path_destroy(path);
    cairo_restore(cr);
}

void RoundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius) {
    radius = std::min(radius, std::min(width, height) / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void Panel(cairo_t* cr, double x, double y, double width, double height, double radius,
           const Colour& rim, double rimWidth, double fillAlpha) {
    cairo_save(cr);
    cairo_new_path(cr);
    RoundedRectangle(cr, x, y, width, height, radius);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + height);
    cairo_pattern_add_color_stop_rgba(fill, 0, 0.07, 0.10, 0.24, fillAlpha);
    cairo_pattern_add_color_stop_rgba(fill, 1, 0.02, 0.03, 0.10, fillAlpha);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_set_line_width(cr, rimWidth * 2.5);
    SetColour(cr, rim, 0.18);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, rimWidth);
    SetColour(cr, rim);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Glow(cairo_t* cr, double x, double y, double radius, const Colour& colour, double alpha) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    cairo_pattern_add_color_stop_rgba(glow, 0, colour.r, colour.g, colour.b, alpha);
    cairo_pattern_add_color_stop_rgba(glow, 0.35, colour.r, colour.g, colour.b, alpha * 0.35);
    cairo_pattern_add_color_stop_rgba(glow, 1, colour.r, colour.g, colour.b, 0);
    cairo_set_source(cr, glow);
    cairo_new_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

void StarField(cairo_t* cr, double width, double height, int count, uint32_t seed,
               double brightness) {
    Scatter scatter(seed);
    for (int i = 0; i < count; ++i) {
        double x = scatter.Next() * width;
        double y = scatter.Next() * height;
        double size = std::pow(scatter.Next(), 6.0);
        double warmth = scatter.Next();
        Colour tint = warmth < 0.2   ? Colour{1.0f, 0.85f, 0.7f, 1}
                      : warmth < 0.5 ? Colour{0.75f, 0.85f, 1.0f, 1}
                                     : Colour{1, 1, 1, 1};
        double radius = 0.5 + size * 2.2;
        double alpha = brightness * (0.35 + 0.65 * scatter.Next());
        if (size > 0.35) {
            Glow(cr, x, y, radius * 5, tint, alpha * 0.35);
            cairo_set_line_width(cr, 0.6);
            SetColour(cr, tint, alpha * 0.5);
            cairo_move_to(cr, x - radius * 6, y);
            cairo_line_to(cr, x + radius * 6, y);
            cairo_move_to(cr, x, y - radius * 6);
            cairo_line_to(cr, x, y + radius * 6);
            cairo_stroke(cr);
        }
        SetColour(cr, tint, alpha);
        cairo_new_path(cr);
        cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void Nebula(Canvas& canvas, uint32_t seed, float strength) {
    Bitmap clouds(canvas.pixelWidth, canvas.pixelHeight);
    float scale = 6.0f / std::max(canvas.pixelWidth, canvas.pixelHeight);
    for (int y = 0; y < clouds.height; ++y) {
        for (int x = 0; x < clouds.width; ++x) {
            float fx = x * scale, fy = y * scale;
            float warp = FractalNoise(fx * 0.7f, fy * 0.7f, 64, 3, seed + 7) * 2.0f;
            float a = FractalNoise(fx + warp, fy, 64, 6, seed);
            float b = FractalNoise(fx * 1.3f, fy * 1.3f + warp, 64, 5, seed + 31);
            float violet = std::pow(std::max(0.0f, a - 0.42f) * 2.2f, 1.6f);
            float blue = std::pow(std::max(0.0f, b - 0.45f) * 2.4f, 1.8f);
            Colour c = Palette::Space;
            c = Mix(c, Palette::Violet, std::min(1.0f, violet * strength));
            c = Mix(c, Colour{0.12f, 0.30f, 0.55f, 1}, std::min(1.0f, blue * strength));
            float dust = std::pow(FractalNoise(fx * 3, fy * 3, 256, 3, seed + 77), 3.0f);
            c.r += dust * 0.05f * strength;
            c.g += dust * 0.04f * strength;
            c.b += dust * 0.08f * strength;
            clouds.At(x, y) = c;
        }
    }
    PaintBitmap(canvas, clouds, 0, 0, canvas.unitsWide, canvas.unitsHigh);
}
