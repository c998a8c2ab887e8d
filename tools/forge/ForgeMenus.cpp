// The menu pictures, packed into the two texture bundles. Each picture is drawn at the shape of
// the rectangle its menu shows it in, at 800 pixels per menu unit, so nothing is stretched.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "render/BundleFile.h"
#include "tools/forge/Sprites.h"

namespace {

constexpr double PixelsPerUnit = 800;

struct MenuPictureDraw {
    std::string name;
    double unitsWide;  // the menu rectangle's size
    double unitsHigh;
    std::function<void(Canvas&)> draw;  // draws in pixels of the picture
};

BundlePicture Render(const MenuPictureDraw& picture) {
    int width = static_cast<int>(std::lround(picture.unitsWide * PixelsPerUnit));
    int height = static_cast<int>(std::lround(picture.unitsHigh * PixelsPerUnit));
    Canvas canvas(width, height);
    picture.draw(canvas);
    // Bundles hold rows from the bottom up, as the menus map them.
    TargaPixels pixels = canvas.Pixels(true, TopRow::HighT);
    return BundlePicture{picture.name, pixels.width, pixels.height, 4, std::move(pixels.pixels)};
}

// A button face. Normal: dark glass, a thin rim, pale letters. Active: lit cyan, a glowing rim,
// white letters, so the one under the pointer stands out at once.
std::function<void(Canvas&)> Button(const std::string& text, bool active) {
    return [text, active](Canvas& canvas) {
        cairo_t* cr = canvas.cr;
        double w = canvas.unitsWide, h = canvas.unitsHigh;
        double margin = h * 0.1;
        cairo_new_path(cr);
        RoundedRectangle(cr, margin, margin, w - 2 * margin, h - 2 * margin, h * 0.22);
        if (active) {
            cairo_set_line_width(cr, margin * 1.6);
            SetColour(cr, Palette::Cyan, 0.35);
            cairo_stroke_preserve(cr);
            cairo_pattern_t* fill = cairo_pattern_create_linear(0, margin, 0, h - margin);
            cairo_pattern_add_color_stop_rgb(fill, 0, 0.45, 0.90, 1.0);
            cairo_pattern_add_color_stop_rgb(fill, 0.5, 0.12, 0.55, 0.80);
            cairo_pattern_add_color_stop_rgb(fill, 1, 0.05, 0.28, 0.50);
            cairo_set_source(cr, fill);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(fill);
            cairo_set_line_width(cr, h * 0.035);
            SetColour(cr, Palette::White, 0.95);
            cairo_stroke(cr);
        } else {
            cairo_pattern_t* fill = cairo_pattern_create_linear(0, margin, 0, h - margin);
            cairo_pattern_add_color_stop_rgba(fill, 0, 0.10, 0.14, 0.30, 0.85);
            cairo_pattern_add_color_stop_rgba(fill, 1, 0.03, 0.05, 0.14, 0.85);
            cairo_set_source(cr, fill);
            cairo_fill_preserve(cr);
            cairo_pattern_destroy(fill);
            cairo_set_line_width(cr, h * 0.03);
            SetColour(cr, Palette::DeepCyan);
            cairo_stroke(cr);
        }
        double size = h * 0.42;
        double width = TextWidth(cr, text, FontFace::SansBold, size);
        size = std::min(size, size * (w - 4 * margin) / width);
        cairo_new_path(cr);
        TextPath(cr, text, FontFace::SansBold, size, w / 2, h / 2 + size * 0.36, Align::Centre);
        if (active) {
            cairo_set_line_width(cr, size * 0.12);
            cairo_set_source_rgba(cr, 0.02, 0.10, 0.20, 0.8);
            cairo_stroke_preserve(cr);
            SetColour(cr, Palette::White);
        } else {
            SetColour(cr, Mix(Palette::Steel, Palette::Cyan, 0.2f), 0.9);
        }
        cairo_fill(cr);
    };
}

// A setting's name, left-aligned in the label's rectangle.
std::function<void(Canvas&)> Label(const std::string& text) {
    return [text](Canvas& canvas) {
        cairo_t* cr = canvas.cr;
        double h = canvas.unitsHigh;
        double size = h * 0.42;
        GlowText(cr, text, FontFace::SansBold, size, h * 0.12, h / 2 + size * 0.36, Align::Left,
                 Palette::White, Palette::Steel, Palette::Cyan, size * 0.08);
    };
}

void Header(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    double w = canvas.unitsWide, h = canvas.unitsHigh;
    GlowText(cr, "BRINDLE'S", FontFace::SansBold, h * 0.25, w / 2, h * 0.33, Align::Centre,
             Palette::White, Palette::Cyan, Palette::Cyan, h * 0.02);
    double size = std::min(
        h * 0.46, h * 0.46 * w * 0.9 / TextWidth(cr, "CATACLYSM", FontFace::SansBold, h * 0.46));
    GlowText(cr, "CATACLYSM", FontFace::SansBold, size, w / 2, h * 0.80, Align::Centre,
             Palette::White, Palette::Amber, Palette::Ember, h * 0.03);
}

// The main menu's footer, in the box its text keeps to. The menu draws two lines of its own over
// the picture: the high score, whose cells (19 of them for "High Score: 9999999") reach into
// its top-left corner down to 22 pixels from the top, and the line that says the settings are
// not being saved, in the grid's bottom row, which begins 111 pixels from the top. The box
// keeps about 10 screen pixels at 1024 x 768 (11.5 here) clear of both, and ends 30 screen
// pixels before the 4:3 picture's right edge, which cuts the rectangle at 595 pixels.
constexpr double FooterTextLeft = 12;
constexpr double FooterTextRight = 560;
constexpr double FooterTextTop = 34;
constexpr double FooterTextBottom = 100;
constexpr double FooterTextSize = 18;

void Disclaimer(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    const std::string lines[] = {"A work of fiction: any likeness to real moons is chance.",
                                 "Made by the Quarry Lights team with free software.",
                                 "Mouse or arrows to choose, click or Return; Escape leaves."};
    double size = FooterTextSize;
    for (const std::string& line : lines) {
        double width = TextWidth(cr, line, FontFace::Sans, FooterTextSize);
        size = std::min(size, FooterTextSize * (FooterTextRight - FooterTextLeft) / width);
    }
    // The first line's ink starts at the box's top and the last line's ends at its bottom; the
    // middle one lies halfway between them.
    cairo_text_extents_t first = TextExtents(cr, lines[0], FontFace::Sans, size);
    cairo_text_extents_t last = TextExtents(cr, lines[2], FontFace::Sans, size);
    double firstBaseline = FooterTextTop - first.y_bearing;
    double lastBaseline = FooterTextBottom - (last.y_bearing + last.height);
    for (int i = 0; i < 3; ++i) {
        DrawText(cr, lines[i], FontFace::Sans, size, FooterTextLeft,
                 firstBaseline + (lastBaseline - firstBaseline) * i / 2, Align::Left,
                 i == 0 ? Palette::Steel : Mix(Palette::Steel, Palette::Space, 0.3f));
    }
}

// Small badges: a computer, a penguin and a little horned imp.
void ComputerBadge(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    double s = canvas.unitsWide;
    RoundedRectangle(cr, s * 0.12, s * 0.16, s * 0.76, s * 0.52, s * 0.06);
    SetColour(cr, Palette::Steel);
    cairo_fill(cr);
    cairo_rectangle(cr, s * 0.19, s * 0.23, s * 0.62, s * 0.38);
    cairo_pattern_t* screen = cairo_pattern_create_linear(0, s * 0.23, 0, s * 0.61);
    cairo_pattern_add_color_stop_rgb(screen, 0, 0.30, 0.80, 1.0);
    cairo_pattern_add_color_stop_rgb(screen, 1, 0.05, 0.20, 0.45);
    cairo_set_source(cr, screen);
    cairo_fill(cr);
    cairo_pattern_destroy(screen);
    cairo_rectangle(cr, s * 0.42, s * 0.68, s * 0.16, s * 0.1);
    cairo_rectangle(cr, s * 0.28, s * 0.78, s * 0.44, s * 0.06);
    SetColour(cr, Palette::Steel);
    cairo_fill(cr);
}

void PenguinBadge(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    double s = canvas.unitsWide;
    cairo_save(cr);
    cairo_translate(cr, s * 0.5, s * 0.55);
    cairo_scale(cr, s * 0.28, s * 0.38);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 0.08, 0.09, 0.14);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, s * 0.5, s * 0.62);
    cairo_scale(cr, s * 0.18, s * 0.26);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.97);
    cairo_fill(cr);
    for (double x : {0.42, 0.58}) {
        cairo_arc(cr, s * x, s * 0.33, s * 0.04, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
    }
    cairo_move_to(cr, s * 0.44, s * 0.41);
    cairo_line_to(cr, s * 0.56, s * 0.41);
    cairo_line_to(cr, s * 0.5, s * 0.49);
    cairo_close_path(cr);
    SetColour(cr, Palette::Amber);
    cairo_fill(cr);
}

void ImpBadge(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    double s = canvas.unitsWide;
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, s * (0.5 + side * 0.16), s * 0.36);
        cairo_line_to(cr, s * (0.5 + side * 0.30), s * 0.12);
        cairo_line_to(cr, s * (0.5 + side * 0.24), s * 0.40);
        cairo_close_path(cr);
    }
    cairo_set_source_rgb(cr, 0.95, 0.90, 0.85);
    cairo_fill(cr);
    cairo_arc(cr, s * 0.5, s * 0.56, s * 0.3, 0, 2 * M_PI);
    SetColour(cr, Palette::Ember);
    cairo_fill(cr);
    for (double x : {0.4, 0.6}) {
        cairo_arc(cr, s * x, s * 0.5, s * 0.06, 0, 2 * M_PI);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
    }
    cairo_arc(cr, s * 0.5, s * 0.64, s * 0.1, 0.2, M_PI - 0.2);
    cairo_set_line_width(cr, s * 0.04);
    cairo_set_source_rgb(cr, 0.3, 0.05, 0.02);
    cairo_stroke(cr);
}

void ShipPortrait(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    double s = canvas.unitsWide;
    Glow(cr, s / 2, s / 2, s / 2, Palette::DeepCyan, 0.6);
    cairo_set_line_width(cr, s * 0.012);
    SetColour(cr, Palette::Cyan, 0.6);
    cairo_arc(cr, s / 2, s / 2, s * 0.44, 0, 2 * M_PI);
    cairo_stroke(cr);
    static const ShipPictures ship = MakeShip(512);
    cairo_save(cr);
    cairo_translate(cr, s / 2, s / 2);
    cairo_rotate(cr, 0.6);
    for (double side : {-0.094, 0.094}) {
        Glow(cr, side * s * 0.8, s * 0.36, s * 0.12, Palette::Cyan, 0.9);
    }
    PaintBitmap(canvas, ship.lit, -s * 0.4, -s * 0.4, s * 0.8, s * 0.8);
    cairo_restore(cr);
}

void SmallRock(Canvas& canvas) {
    static const Rock rock = MakeRock({256,
                                       37,
                                       {0.55f, 0.58f, 0.64f, 1},
                                       {0.18f, 0.20f, 0.25f, 1},
                                       {0.55f, 0.80f, 0.95f, 1},
                                       0.26f,
                                       7});
    static const Bitmap lit = LightSurface(rock.albedo, rock.field, RockRelief, 0.25f);
    PaintBitmap(canvas, lit, 0, 0, canvas.unitsWide, canvas.unitsHigh);
}

void RestartNotice(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    double w = canvas.unitsWide, h = canvas.unitsHigh;
    Panel(cr, w * 0.03, h * 0.04, w * 0.94, h * 0.92, h * 0.05, Palette::Cyan, h * 0.008, 0.88);
    GlowText(cr, "RESTART NEEDED", FontFace::SansBold, h * 0.1, w / 2, h * 0.24, Align::Centre,
             Palette::White, Palette::Amber, Palette::Amber, h * 0.01);
    const char* lines[] = {"The shader lighting setting takes", "effect the next time you start",
                           "Brindle's Cataclysm."};
    for (int i = 0; i < 3; ++i) {
        DrawText(cr, lines[i], FontFace::Sans, h * 0.065, w / 2, h * (0.42 + 0.1 * i),
                 Align::Centre, Palette::Steel);
    }
    DrawText(cr, "Click or press any key to go on", FontFace::SansBold, h * 0.06, w / 2, h * 0.84,
             Align::Centre, Palette::Cyan);
}

bool Pack(const ForgeContext& context, const char* path, uint32_t width, uint32_t height,
          const std::vector<MenuPictureDraw>& draws) {
    std::vector<BundlePicture> pictures;
    for (const MenuPictureDraw& draw : draws) {
        pictures.push_back(Render(draw));
    }
    BundleContents atlas;
    std::string error;
    if (!PackBundle(pictures, width, height, false, atlas, error)) {
        std::fprintf(stderr, "cataclysm-forge: %s: %s\n", path, error.c_str());
        return false;
    }
    std::vector<uint8_t> file = WriteBundle(atlas);
    return WriteForgedFile(context, path, file.data(), file.size());
}

void AddButton(std::vector<MenuPictureDraw>& draws, const std::string& name,
               const std::string& text, double wide, double high) {
    draws.push_back({name + "Normal.tga", wide, high, Button(text, false)});
    draws.push_back({name + "Active.tga", wide, high, Button(text, true)});
}

bool ForgeMenus(const ForgeContext& context) {
    std::vector<MenuPictureDraw> first = {
        {"Header.tga", 1.0, 0.35, Header},
        {"Disclaimer.tga", 0.77, 0.15, Disclaimer},
        {"tux.tga", 0.1, 0.1, PenguinBadge},
        {"beastie.tga", 0.1, 0.1, ImpBadge},
        {"PC.tga", 0.1, 0.1, ComputerBadge},
        {"Resolution.tga", 0.6, 0.1, Label("Resolution")},
        {"ColorDepth.tga", 0.6, 0.1, Label("Colour depth")},
        {"GLSL.tga", 0.6, 0.1, Label("Shader lighting")},
        {"Sound.tga", 0.4, 0.1, Label("Sound")},
        {"Brightness.tga", 0.6, 0.1, Label("Brightness")},
    };
    AddButton(first, "Start", "START", 0.3, 0.13);
    AddButton(first, "Options", "OPTIONS", 0.34, 0.13);
    AddButton(first, "ClearHigh", "CLEAR HIGH SCORE", 0.54, 0.13);
    AddButton(first, "Exit", "EXIT", 0.3, 0.13);
    AddButton(first, "1024", "1024 x 768", 0.25, 0.1);
    AddButton(first, "800", "800 x 600", 0.25, 0.1);
    AddButton(first, "640", "640 x 480", 0.25, 0.1);
    AddButton(first, "32", "32 BIT", 0.2, 0.1);
    AddButton(first, "16", "16 BIT", 0.2, 0.1);
    AddButton(first, "On", "ON", 0.125, 0.1);
    AddButton(first, "Off", "OFF", 0.125, 0.1);
    AddButton(first, "High", "HIGH", 0.25, 0.1);
    AddButton(first, "Medium", "MEDIUM", 0.4, 0.1);
    AddButton(first, "Low", "LOW", 0.225, 0.1);
    AddButton(first, "Controls", "CONTROLS", 0.3, 0.1);
    AddButton(first, "OK", "OK", 0.2, 0.1);

    std::vector<MenuPictureDraw> second = {
        {"ShipScr.tga", 0.4, 0.4, ShipPortrait},
        {"asteroid2.tga", 0.1, 0.1, SmallRock},
        {"RestartNotice.tga", 0.8, 0.6, RestartNotice},
    };
    return Pack(context, "tbundles/menu/menu1.qtb", 2048, 1024, first) &&
           Pack(context, "tbundles/menu/menu2.qtb", 1024, 1024, second);
}

}  // namespace

FORGE_STEP("menus", ForgeMenus);
