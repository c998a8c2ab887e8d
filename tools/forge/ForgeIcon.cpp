// The desktop icon, drawn once as vector paths and written as the PNG sizes of the hicolor icon
// theme and as a scalable SVG, below icons/hicolor/ beside the game's assets, for the
// installers, and as icons/brindles-cataclysm.ico for the Windows build: the ship climbing past a
// rock through a violet haze, on a rounded tile with a cyan rim.
#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "tools/forge/ForgeStep.h"
#include "tools/forge/Style.h"

namespace {

// The icon is drawn in these units; every size is a scaled copy.
constexpr double IconUnits = 256;
constexpr int IconPixelSizes[] = {16, 32, 48, 64, 128, 256, 512};
constexpr char IconName[] = "brindles-cataclysm";

// Fills the current path with a pattern, which it then releases, and outlines it in dark ink.
void FillAndOutline(cairo_t* cr, cairo_pattern_t* fill, double lineWidth) {
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_source_rgba(cr, 0.06, 0.06, 0.10, 0.85);
    cairo_stroke(cr);
}

// A lumpy rock of radius r at the origin: a closed ring of bulges, lit from the upper left,
// with a few craters.
void IconRock(cairo_t* cr, double r, uint32_t seed) {
    Scatter scatter(seed);
    constexpr int Bulges = 11;
    cairo_new_path(cr);
    for (int i = 0; i < Bulges; ++i) {
        double angle = 2 * M_PI * i / Bulges;
        double reach = r * scatter.Between(0.82, 1.0);
        cairo_line_to(cr, reach * std::cos(angle), reach * std::sin(angle));
    }
    cairo_close_path(cr);
    cairo_pattern_t* light = cairo_pattern_create_radial(-r * 0.35, -r * 0.4, r * 0.1, 0, 0, r);
    cairo_pattern_add_color_stop_rgb(light, 0, 0.72, 0.60, 0.48);
    cairo_pattern_add_color_stop_rgb(light, 1, 0.24, 0.18, 0.15);
    FillAndOutline(cr, light, r * 0.05);
    for (int i = 0; i < 4; ++i) {
        double x = r * scatter.Between(-0.45, 0.45), y = r * scatter.Between(-0.45, 0.45);
        double size = r * scatter.Between(0.09, 0.18);
        cairo_new_path(cr);
        cairo_arc(cr, x, y, size, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 0.12, 0.08, 0.07, 0.55);
        cairo_fill(cr);
        cairo_arc(cr, x - size * 0.2, y - size * 0.2, size * 0.75, 0, 2 * M_PI);
        cairo_set_source_rgba(cr, 0.80, 0.68, 0.55, 0.25);
        cairo_fill(cr);
    }
}

// The ship, nose up, centred on the origin and `size` long, with its exhaust plume.
void IconShip(cairo_t* cr, double size) {
    double s = size / 2;
    cairo_pattern_t* plume = cairo_pattern_create_linear(0, s * 0.7, 0, s * 2.0);
    cairo_pattern_add_color_stop_rgba(plume, 0, 0.85, 0.97, 1.0, 0.95);
    cairo_pattern_add_color_stop_rgba(plume, 0.35, 0.30, 0.80, 1.0, 0.6);
    cairo_pattern_add_color_stop_rgba(plume, 1, 0.10, 0.30, 0.90, 0.0);
    cairo_new_path(cr);
    cairo_move_to(cr, -s * 0.13, s * 0.7);
    cairo_curve_to(cr, -s * 0.16, s * 1.2, -s * 0.05, s * 1.7, 0, s * 2.0);
    cairo_curve_to(cr, s * 0.05, s * 1.7, s * 0.16, s * 1.2, s * 0.13, s * 0.7);
    cairo_close_path(cr);
    cairo_set_source(cr, plume);
    cairo_fill(cr);
    cairo_pattern_destroy(plume);

    // The hull and its swept wings, as one outline from the nose round to the nose.
    const double hull[][2] = {{0, -1.0},     {0.16, -0.45}, {0.22, 0.05},  {0.72, 0.55},
                              {0.70, 0.78},  {0.22, 0.62},  {0.15, 0.80},  {-0.15, 0.80},
                              {-0.22, 0.62}, {-0.70, 0.78}, {-0.72, 0.55}, {-0.22, 0.05},
                              {-0.16, -0.45}};
    cairo_new_path(cr);
    for (const auto& point : hull) {
        cairo_line_to(cr, point[0] * s, point[1] * s);
    }
    cairo_close_path(cr);
    cairo_pattern_t* metal = cairo_pattern_create_linear(-s * 0.7, 0, s * 0.7, 0);
    cairo_pattern_add_color_stop_rgb(metal, 0, 0.95, 0.97, 1.0);
    cairo_pattern_add_color_stop_rgb(metal, 0.55, 0.66, 0.71, 0.80);
    cairo_pattern_add_color_stop_rgb(metal, 1, 0.36, 0.40, 0.50);
    FillAndOutline(cr, metal, s * 0.05);

    // Amber wing tips and the cyan canopy.
    for (double side : {-1.0, 1.0}) {
        cairo_new_path(cr);
        cairo_move_to(cr, side * 0.72 * s, 0.55 * s);
        cairo_line_to(cr, side * 0.70 * s, 0.78 * s);
        cairo_line_to(cr, side * 0.52 * s, 0.72 * s);
        cairo_close_path(cr);
        SetColour(cr, Palette::Amber);
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_translate(cr, 0, -s * 0.35);
    cairo_scale(cr, 0.07 * s, 0.2 * s);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_pattern_t* canopy = cairo_pattern_create_linear(0, -s * 0.55, 0, -s * 0.15);
    cairo_pattern_add_color_stop_rgb(canopy, 0, 0.75, 0.95, 1.0);
    cairo_pattern_add_color_stop_rgb(canopy, 1, 0.05, 0.35, 0.60);
    cairo_set_source(cr, canopy);
    cairo_fill(cr);
    cairo_pattern_destroy(canopy);
}

// The whole icon in IconUnits x IconUnits units.
void DrawIcon(cairo_t* cr) {
    constexpr double Inset = 4, Corner = 40;
    RoundedRectangle(cr, Inset, Inset, IconUnits - 2 * Inset, IconUnits - 2 * Inset, Corner);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_pattern_t* space = cairo_pattern_create_linear(0, 0, IconUnits, IconUnits);
    cairo_pattern_add_color_stop_rgb(space, 0, 0.06, 0.07, 0.22);
    cairo_pattern_add_color_stop_rgb(space, 1, 0.01, 0.02, 0.07);
    cairo_set_source(cr, space);
    cairo_paint(cr);
    cairo_pattern_destroy(space);
    Glow(cr, 180, 70, 120, Palette::Violet, 0.7);
    Glow(cr, 60, 200, 90, Palette::Indigo, 0.6);
    StarField(cr, IconUnits, IconUnits, 40, 71, 0.9);

    cairo_save(cr);
    cairo_translate(cr, 180, 78);
    IconRock(cr, 58, 3);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 56, 206);
    cairo_rotate(cr, 2.1);
    IconRock(cr, 28, 8);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 112, 140);
    cairo_rotate(cr, -0.55);
    IconShip(cr, 140);
    cairo_restore(cr);
    cairo_restore(cr);

    cairo_set_line_width(cr, 5);
    SetColour(cr, Palette::Cyan, 0.9);
    cairo_stroke(cr);
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

std::string ThemePath(const std::string& sizeFolder, const char* extension) {
    return "icons/hicolor/" + sizeFolder + "/apps/" + IconName + extension;
}

// The sizes of the Windows icon, which Windows picks from for the title bar, the task bar, the
// Start menu and Explorer's views.
constexpr int WindowsIconSizes[] = {16, 32, 48, 256};

void PutLittleEndian(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

// An .ico file of PNG images: the header, one directory entry per image, then the images. A
// side of 256 is written as 0 in the entry's byte.
std::vector<unsigned char> IcoFile(
    const std::vector<std::pair<int, std::vector<unsigned char>>>& pngs) {
    std::vector<unsigned char> ico;
    PutLittleEndian(ico, 0, 2);  // reserved
    PutLittleEndian(ico, 1, 2);  // an icon, not a cursor
    PutLittleEndian(ico, static_cast<uint32_t>(pngs.size()), 2);
    uint32_t offset = static_cast<uint32_t>(6 + 16 * pngs.size());
    for (const auto& [side, png] : pngs) {
        PutLittleEndian(ico, static_cast<uint32_t>(side % 256), 1);
        PutLittleEndian(ico, static_cast<uint32_t>(side % 256), 1);
        PutLittleEndian(ico, 0, 1);   // no palette
        PutLittleEndian(ico, 0, 1);   // reserved
        PutLittleEndian(ico, 1, 2);   // colour planes
        PutLittleEndian(ico, 32, 2);  // bits per pixel
        PutLittleEndian(ico, static_cast<uint32_t>(png.size()), 4);
        PutLittleEndian(ico, offset, 4);
        offset += static_cast<uint32_t>(png.size());
    }
    for (const auto& entry : pngs) {
        ico.insert(ico.end(), entry.second.begin(), entry.second.end());
    }
    return ico;
}

// The icon at side x side pixels as PNG bytes; empty when it cannot be encoded.
std::vector<unsigned char> IconPng(int side) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side, side);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, side / IconUnits, side / IconUnits);
    DrawIcon(cr);
    cairo_destroy(cr);
    std::vector<unsigned char> png;
    if (cairo_surface_write_to_png_stream(surface, AppendBytes, &png) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "cataclysm-forge: cannot encode the %d px icon as PNG\n", side);
        png.clear();
    }
    cairo_surface_destroy(surface);
    return png;
}

bool WritePng(const ForgeContext& context, int side) {
    std::vector<unsigned char> png = IconPng(side);
    if (png.empty()) {
        return false;
    }
    std::string size = std::to_string(side);
    return WriteForgedFile(context, ThemePath(size + "x" + size, ".png"), png.data(), png.size());
}

bool WriteSvg(const ForgeContext& context) {
    std::vector<unsigned char> svg;
    cairo_surface_t* surface =
        cairo_svg_surface_create_for_stream(AppendBytes, &svg, IconUnits, IconUnits);
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(surface);
    DrawIcon(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    bool drawn = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!drawn) {
        std::fprintf(stderr, "cataclysm-forge: cannot draw the icon as SVG\n");
        return false;
    }
    return WriteForgedFile(context, ThemePath("scalable", ".svg"), svg.data(), svg.size());
}

bool ForgeIcon(const ForgeContext& context) {
    for (int side : IconPixelSizes) {
        if (!WritePng(context, side)) {
            return false;
        }
    }
    std::vector<std::pair<int, std::vector<unsigned char>>> pngs;
    for (int side : WindowsIconSizes) {
        pngs.emplace_back(side, IconPng(side));
        if (pngs.back().second.empty()) {
            return false;
        }
    }
    std::vector<unsigned char> ico = IcoFile(pngs);
    return WriteSvg(context) && WriteForgedFile(context, std::string("icons/") + IconName + ".ico",
                                                ico.data(), ico.size());
}

}  // namespace

FORGE_STEP("icon", ForgeIcon);
