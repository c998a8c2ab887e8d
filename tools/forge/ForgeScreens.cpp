// The full-screen and centre-screen pictures: the play-field background, the story frames and
// credits, the level start, summary and high-score emblems, the end screens, the presenter,
// title and loading pictures, and the menu pointer.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/forge/Sprites.h"

namespace {

// Full-screen pictures fill a 4:3 screen; they are drawn in 1024 x 768 units.
constexpr double ScreenW = 1024, ScreenH = 768;

// The three rocks, lit, for scenery.
const std::vector<Bitmap>& SceneryRocks() {
    static std::vector<Bitmap> rocks = [] {
        std::vector<Bitmap> made;
        for (const RockLook& look : AsteroidLooks) {
            Rock rock = MakeRock(look);
            made.push_back(LightSurface(rock.albedo, rock.field, RockRelief, 0.25f));
        }
        return made;
    }();
    return rocks;
}

const ShipPictures& LargeShip() {
    static ShipPictures ship = MakeShip(512);
    return ship;
}

// A rock drawn centred at (x, y) with the given diameter and turn, dimmed by `light`.
void PaintRock(Canvas& canvas, int which, double x, double y, double size, double turn,
               double opacity = 1.0) {
    cairo_save(canvas.cr);
    cairo_translate(canvas.cr, x, y);
    cairo_rotate(canvas.cr, turn);
    PaintBitmap(canvas, SceneryRocks()[which], -size / 2, -size / 2, size, size, opacity);
    cairo_restore(canvas.cr);
}

void PaintShip(Canvas& canvas, double x, double y, double size, double turn, bool flame) {
    cairo_t* cr = canvas.cr;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, turn);
    if (flame) {
        // Two cyan exhaust plumes behind the engines.
        for (double side : {-0.094, 0.094}) {
            double ex = side * size, ey = 0.42 * size;
            cairo_pattern_t* plume = cairo_pattern_create_linear(0, ey, 0, ey + size * 0.9);
            cairo_pattern_add_color_stop_rgba(plume, 0, 0.85, 0.97, 1.0, 0.95);
            cairo_pattern_add_color_stop_rgba(plume, 0.3, 0.30, 0.80, 1.0, 0.6);
            cairo_pattern_add_color_stop_rgba(plume, 1, 0.10, 0.30, 0.90, 0.0);
            cairo_new_path(cr);
            cairo_move_to(cr, ex - size * 0.035, ey);
            cairo_curve_to(cr, ex - size * 0.06, ey + size * 0.3, ex - size * 0.02, ey + size * 0.7,
                           ex, ey + size * 0.9);
            cairo_curve_to(cr, ex + size * 0.02, ey + size * 0.7, ex + size * 0.06, ey + size * 0.3,
                           ex + size * 0.035, ey);
            cairo_close_path(cr);
            cairo_set_source(cr, plume);
            cairo_fill(cr);
            cairo_pattern_destroy(plume);
            Glow(cr, ex, ey + size * 0.04, size * 0.12, Palette::Cyan, 0.8);
        }
    }
    PaintBitmap(canvas, LargeShip().lit, -size / 2, -size / 2, size, size);
    cairo_restore(cr);
}

// How a planet looks at the unit surface point (nx, ny, nz), x right, y down, z towards the
// viewer: land, sea and clouds from noise over the surface point itself, lit from (lx, ly); on
// the night side, with `lights`, the colony's towns as clusters of fine points that fade in
// across the terminator.
Colour PlanetSurface(double nx, double ny, double nz, double lx, double ly, const Colour& land,
                     const Colour& sea, bool lights, uint32_t seed) {
    constexpr float SeaLevel = 0.55f;
    float x = static_cast<float>(nx), y = static_cast<float>(ny), z = static_cast<float>(nz);
    float terrain = FractalSpaceNoise(x * 3.6f + 10, y * 3.6f + 10, z * 3.6f + 10, 6, seed);
    // Coasts blend over a narrow band of heights, about a pixel wide, so they do not stair-step.
    Colour ground = Mix(land, Palette::White, std::max(0.0f, terrain - SeaLevel) * 0.8f);
    Colour water = Mix(sea, Palette::Space, std::max(0.0f, SeaLevel - terrain) * 1.5f);
    Colour c = Mix(water, ground, Smoothstep(SeaLevel - 0.01f, SeaLevel + 0.01f, terrain));
    // Clouds drawn out along the latitudes.
    float cloud = FractalSpaceNoise(x * 4.5f + 3, y * 7.5f, z * 4.5f, 5, seed + 5);
    c = Mix(c, Palette::White, std::max(0.0f, cloud - 0.55f) * 2.0f);
    double sunward = nx * lx + ny * ly + nz * 0.25;
    double k = 0.04 + 0.96 * std::clamp(sunward, 0.0, 1.0);
    Colour out{static_cast<float>(c.r * k), static_cast<float>(c.g * k),
               static_cast<float>(c.b * k), 1};
    if (!lights) {
        return out;
    }
    float night = Smoothstep(0.12f, -0.18f, static_cast<float>(sunward));
    float ashore = Smoothstep(SeaLevel + 0.01f, SeaLevel + 0.04f, terrain);
    float towns = Smoothstep(0.5f, 0.62f, FractalSpaceNoise(x * 7, y * 7, z * 7, 3, seed + 9));
    // Single lights are the peaks of a fine noise, over a faint haze where the towns lie.
    float grain = SpaceNoise(x * 220, y * 220, z * 220, seed + 11);
    float sparkle = std::min(1.0f, std::pow(grain, 6.0f) * 6.0f);
    float glow = night * ashore * towns * (0.12f + 0.88f * sparkle);
    return glow > 0 ? Mix(out, Palette::Gold, glow) : out;
}

// A planet lit from one side, with an atmosphere rim; `lights` adds the colony's night lights.
// Pixels within three pixels of the limb take 4 x 4 samples: the limb is antialiased by their
// coverage, and the features there, shrunk by foreshortening, average out instead of showing
// as single bright pixels.
void Planet(Canvas& canvas, double x, double y, double radius, const Colour& land,
            const Colour& sea, double lightAngle, bool lights, uint32_t seed) {
    int size = static_cast<int>(radius * 2);
    Bitmap surface(size, size);
    double lx = std::cos(lightAngle), ly = -std::sin(lightAngle);
    const double pixel = 1 / radius;  // one pixel in units of the radius
    const double limbBand = 1 - std::min(0.05, 3 * pixel);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double cx = (px + 0.5 - radius) * pixel, cy = (py + 0.5 - radius) * pixel;
            double reach = std::sqrt(cx * cx + cy * cy);
            if (reach - pixel >= 1) {
                surface.At(px, py) = {0, 0, 0, 0};
                continue;
            }
            int samples = reach < limbBand ? 1 : 4;
            Colour sum{0, 0, 0, 0};
            int inside = 0;  // samples on the disk
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    double nx = cx + ((sx + 0.5) / samples - 0.5) * pixel;
                    double ny = cy + ((sy + 0.5) / samples - 0.5) * pixel;
                    double d2 = nx * nx + ny * ny;
                    if (d2 >= 1) {
                        continue;
                    }
                    Colour c =
                        PlanetSurface(nx, ny, std::sqrt(1 - d2), lx, ly, land, sea, lights, seed);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b, 0};
                    ++inside;
                }
            }
            float coverage = static_cast<float>(inside) / static_cast<float>(samples * samples);
            float share = inside > 0 ? 1.0f / static_cast<float>(inside) : 0.0f;
            surface.At(px, py) = {sum.r * share, sum.g * share, sum.b * share, coverage};
        }
    }
    cairo_t* cr = canvas.cr;
    // Atmosphere glow on the lit side.
    cairo_pattern_t* air = cairo_pattern_create_radial(x, y, radius * 0.95, x, y, radius * 1.12);
    cairo_pattern_add_color_stop_rgba(air, 0, 0.4, 0.7, 1.0, 0.55);
    cairo_pattern_add_color_stop_rgba(air, 1, 0.4, 0.7, 1.0, 0.0);
    cairo_set_source(cr, air);
    cairo_new_path(cr);
    cairo_arc(cr, x, y, radius * 1.12, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(air);
    PaintBitmap(canvas, surface, x - radius, y - radius, size, size);
}

void SpaceBackdrop(Canvas& canvas, uint32_t seed, float nebula, int stars) {
    cairo_t* cr = canvas.cr;
    SetColour(cr, Palette::Space);
    cairo_paint(cr);
    Nebula(canvas, seed, nebula);
    StarField(cr, canvas.unitsWide, canvas.unitsHigh, stars, seed + 1, 0.9);
}

bool Background(const ForgeContext& context) {
    Canvas canvas(1280, 960, ScreenW, ScreenH);
    SpaceBackdrop(canvas, 12, 0.55f, 900);
    // A far, dim planet low on the right, out of the way of the play.
    Planet(canvas, 930, 700, 150, {0.45f, 0.38f, 0.55f, 1}, {0.12f, 0.14f, 0.32f, 1}, 2.3, false,
           44);
    cairo_set_source_rgba(canvas.cr, 0.0, 0.0, 0.02, 0.35);  // keep it quiet behind the sprites
    cairo_paint(canvas.cr);
    return WriteCanvas(context, "textures/gameplay/background0.tga", canvas, false, TopRow::HighT);
}

void StoryPanel(cairo_t* cr, const std::vector<std::string>& lines, double top) {
    Panel(cr, 72, top, ScreenW - 144, 40.0 + 36 * lines.size(), 16, Palette::Cyan, 2.5, 0.78);
    for (size_t i = 0; i < lines.size(); ++i) {
        DrawText(cr, lines[i], FontFace::Sans, 24, ScreenW / 2, top + 46 + 36 * i, Align::Centre,
                 i == 0 ? Palette::Gold : Palette::Steel);
    }
}

bool StoryFrames(const ForgeContext& context) {
    Canvas first(1024, 768, ScreenW, ScreenH);
    SpaceBackdrop(first, 21, 0.8f, 700);
    Planet(first, 250, 760, 420, {0.35f, 0.55f, 0.30f, 1}, {0.06f, 0.20f, 0.42f, 1}, 0.3, true, 7);
    Scatter scatter(99);
    for (int i = 0; i < 26; ++i) {  // the swarm pours in from the upper right
        double t = scatter.Next();
        double x = 560 + t * 480 + scatter.Between(-60, 60);
        double y = 40 + (1 - t) * 300 + scatter.Between(-70, 70);
        double size = 18 + std::pow(scatter.Next(), 2.0) * 90;
        PaintRock(first, i % 3, x, y, size, scatter.Between(0, 6.3));
    }
    GlowText(first.cr, "BRINDLE'S REACH", FontFace::SansBold, 44, ScreenW / 2, 92, Align::Centre,
             Palette::White, Palette::Cyan, Palette::Cyan, 6);
    StoryPanel(first.cr,
               {"Year 2291. The mining colony of Brindle's Reach.",
                "Three shattered moons are falling out of the sky,",
                "and every rock is aimed at a million homes.",
                "One ship is left to break them up. Yours."},
               560);

    Canvas flight(1024, 768, ScreenW, ScreenH);
    SpaceBackdrop(flight, 33, 0.65f, 500);
    Scatter streaks(5);
    cairo_set_line_cap(flight.cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 140; ++i) {  // stars streak past as the ship speeds up-screen
        double x = streaks.Next() * ScreenW, y = streaks.Next() * ScreenH;
        double length = 20 + streaks.Next() * 110;
        cairo_set_line_width(flight.cr, 0.8 + streaks.Next() * 1.6);
        SetColour(flight.cr, Mix(Palette::Cyan, Palette::White, 0.6f), 0.15 + streaks.Next() * 0.4);
        cairo_move_to(flight.cr, x, y);
        cairo_line_to(flight.cr, x - length * 0.45, y + length);
        cairo_stroke(flight.cr);
    }
    PaintRock(flight, 1, 840, 160, 150, 0.7);
    PaintRock(flight, 0, 150, 220, 90, 2.1);
    PaintRock(flight, 2, 880, 600, 70, 4.0);
    PaintShip(flight, 470, 420, 440, 0.42, true);

    return WriteCanvas(context, "textures/story/frame1.tga", first, false, TopRow::HighT) &&
           WriteCanvas(context, "textures/story/frame2.tga", flight, false, TopRow::HighT);
}

bool Credits(const ForgeContext& context) {
    Canvas canvas(1024, 768, ScreenW, ScreenH);
    cairo_t* cr = canvas.cr;
    SetColour(cr, Palette::Space);
    cairo_paint(cr);
    StarField(cr, ScreenW, ScreenH, 200, 71, 0.5);
    GlowText(cr, "BRINDLE'S CATACLYSM", FontFace::SansBold, 50, ScreenW / 2, 82, Align::Centre,
             Palette::White, Palette::Cyan, Palette::Cyan, 6);
    DrawText(cr, "made by the Quarry Lights team", FontFace::Sans, 24, ScreenW / 2, 122,
             Align::Centre, Palette::Gold);
    struct Line {
        const char* left;
        const char* right;
    };
    const Line sections[] = {
        {"Game design and code", "the Quarry Lights developers"},
        {"Pictures", "drawn by our forge with Cairo"},
        {"Sound and music", "made by our own tools"},
        {"", ""},
        {"Windows, input and timing", "SDL 2"},
        {"Sound output", "OpenAL Soft"},
        {"Music decoding", "Ogg Vorbis (libogg, libvorbis)"},
        {"Drawing and lettering", "Cairo, FreeType, Mesa"},
        {"Typefaces", "DejaVu Sans, DejaVu Sans Mono"},
        {"Testing", "GoogleTest, Google Benchmark"},
    };
    double y = 200;
    for (const Line& line : sections) {
        if (line.left[0] != '\0') {
            DrawText(cr, line.left, FontFace::Sans, 22, ScreenW / 2 - 20, y, Align::Right,
                     Palette::Steel);
            DrawText(cr, line.right, FontFace::SansBold, 22, ScreenW / 2 + 20, y, Align::Left,
                     Palette::White);
        }
        y += 38;
    }
    GlowText(cr, "Thank you for playing!", FontFace::SansBold, 34, ScreenW / 2, 680, Align::Centre,
             Palette::Gold, Palette::Amber, Palette::Amber, 5);
    return WriteCanvas(context, "textures/story/credits.tga", canvas, false, TopRow::HighT);
}

bool EndScreens(const ForgeContext& context) {
    Canvas over(1024, 768, ScreenW, ScreenH);
    SpaceBackdrop(over, 55, 0.6f, 500);
    cairo_set_source_rgba(over.cr, 0.35, 0.02, 0.02, 0.35);
    cairo_paint(over.cr);
    Planet(over, 880, 720, 300, {0.45f, 0.40f, 0.30f, 1}, {0.15f, 0.10f, 0.10f, 1}, 2.0, false, 3);
    Scatter scatter(17);
    for (int i = 0; i < 12; ++i) {
        PaintRock(over, i % 3, scatter.Between(40, 980), scatter.Between(420, 740),
                  30 + scatter.Next() * 70, scatter.Between(0, 6.3), 0.9);
    }
    GlowText(over.cr, "GAME OVER", FontFace::SansBold, 120, ScreenW / 2, 320, Align::Centre,
             Palette::White, Palette::Ember, Palette::Ember, 10);
    DrawText(over.cr, "The swarm got through this time.", FontFace::Sans, 28, ScreenW / 2, 372,
             Align::Centre, Palette::Steel);

    Canvas win(1024, 768, ScreenW, ScreenH);
    SpaceBackdrop(win, 66, 0.5f, 400);
    Glow(win.cr, 180, 170, 420, Palette::Gold, 0.55);  // the sun rising behind the planet
    Glow(win.cr, 180, 170, 90, Palette::White, 0.9);
    Planet(win, 512, 1090, 560, {0.35f, 0.55f, 0.30f, 1}, {0.06f, 0.22f, 0.45f, 1}, 2.0, false, 7);
    PaintShip(win, 860, 150, 150, 0.6, true);
    GlowText(win.cr, "VICTORY", FontFace::SansBold, 120, ScreenW / 2, 320, Align::Centre,
             Palette::White, Palette::Gold, Palette::Amber, 10);
    DrawText(win.cr, "The swarm is broken. Brindle's Reach is safe.", FontFace::Sans, 28,
             ScreenW / 2, 372, Align::Centre, Palette::White);
    return WriteCanvas(context, "textures/story/gameover.tga", over, false, TopRow::HighT) &&
           WriteCanvas(context, "textures/gameplay/gamewin.tga", win, false, TopRow::HighT);
}

// Emblems drawn over the play field in a square at the centre of the screen.
bool Emblems(const ForgeContext& context) {
    Canvas start(512, 512);
    cairo_t* cr = start.cr;
    Glow(cr, 256, 230, 250, Palette::DeepCyan, 0.5);
    cairo_set_line_width(cr, 10);
    SetColour(cr, Palette::Cyan, 0.9);
    cairo_arc(cr, 256, 230, 170, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 3);
    SetColour(cr, Palette::Cyan, 0.5);
    cairo_arc(cr, 256, 230, 186, 0, 2 * M_PI);
    cairo_stroke(cr);
    PaintShip(start, 256, 215, 240, 0, true);
    GlowText(cr, "GET READY", FontFace::SansBold, 60, 256, 470, Align::Centre, Palette::White,
             Palette::Cyan, Palette::Cyan, 6);

    Canvas summary(512, 512);
    cr = summary.cr;
    Glow(cr, 256, 200, 240, Palette::Gold, 0.35);
    Scatter scatter(8);
    for (int i = 0; i < 24; ++i) {  // rays of a burst of light
        double angle = i * M_PI / 12;
        cairo_move_to(cr, 256, 200);
        cairo_line_to(cr, 256 + std::cos(angle - 0.05) * 230, 200 + std::sin(angle - 0.05) * 230);
        cairo_line_to(cr, 256 + std::cos(angle + 0.05) * 230, 200 + std::sin(angle + 0.05) * 230);
        cairo_close_path(cr);
        SetColour(cr, Palette::Gold, 0.12 + 0.1 * scatter.Next());
        cairo_fill(cr);
    }
    GlowText(cr, "LEVEL", FontFace::SansBold, 84, 256, 190, Align::Centre, Palette::White,
             Palette::Gold, Palette::Amber, 8);
    GlowText(cr, "CLEARED", FontFace::SansBold, 84, 256, 280, Align::Centre, Palette::White,
             Palette::Gold, Palette::Amber, 8);

    Canvas record(512, 512);
    cr = record.cr;
    Glow(cr, 256, 230, 250, Palette::Amber, 0.45);
    for (int i = 0; i < 10; ++i) {  // a gold star
        double angle = i * M_PI / 5 - M_PI / 2;
        double radius = i % 2 == 0 ? 150 : 62;
        double x = 256 + std::cos(angle) * radius, y = 220 + std::sin(angle) * radius;
        i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    cairo_pattern_t* gold = cairo_pattern_create_linear(0, 70, 0, 370);
    cairo_pattern_add_color_stop_rgb(gold, 0, 1.0, 0.95, 0.6);
    cairo_pattern_add_color_stop_rgb(gold, 1, 0.85, 0.45, 0.05);
    cairo_set_source(cr, gold);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gold);
    cairo_set_line_width(cr, 5);
    cairo_set_source_rgba(cr, 0.35, 0.15, 0.0, 0.9);
    cairo_stroke(cr);
    GlowText(cr, "NEW RECORD", FontFace::SansBold, 62, 256, 450, Align::Centre, Palette::White,
             Palette::Gold, Palette::Amber, 8);

    return WriteCanvas(context, "textures/gameplay/start.tga", start, true, TopRow::HighT) &&
           WriteCanvas(context, "textures/gameplay/summary.tga", summary, true, TopRow::HighT) &&
           WriteCanvas(context, "textures/gameplay/highscore.tga", record, true, TopRow::HighT);
}

// Fades a square picture's alpha out towards its edges, so no square shows on the black screen.
void Vignette(Canvas& canvas) {
    cairo_t* cr = canvas.cr;
    double half = canvas.unitsWide / 2;
    cairo_pattern_t* mask = cairo_pattern_create_radial(half, half, half * 0.78, half, half, half);
    cairo_pattern_add_color_stop_rgba(mask, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(mask, 1, 0, 0, 0, 1);
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
    cairo_set_source(cr, mask);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_pattern_destroy(mask);
}

bool Presentation(const ForgeContext& context) {
    // The presenter picture slides in as two halves: the team's mark above, "presents" below.
    Canvas presents(1024, 1024);
    cairo_t* cr = presents.cr;
    Glow(cr, 512, 300, 220, Palette::Amber, 0.5);
    for (int i = 0; i < 12; ++i) {  // rays behind the gem
        double angle = i * M_PI / 6;
        cairo_move_to(cr, 512, 300);
        cairo_line_to(cr, 512 + std::cos(angle - 0.04) * 210, 300 + std::sin(angle - 0.04) * 210);
        cairo_line_to(cr, 512 + std::cos(angle + 0.04) * 210, 300 + std::sin(angle + 0.04) * 210);
        cairo_close_path(cr);
        SetColour(cr, Palette::Gold, 0.18);
        cairo_fill(cr);
    }
    // A cut gem, the light of the quarry: four facets around its centre, each its own shade.
    const double corners[4][2] = {{512, 170}, {590, 300}, {512, 430}, {434, 300}};
    const Colour facets[4] = {{1.0f, 0.93f, 0.62f, 1},
                              {0.98f, 0.70f, 0.22f, 1},
                              {0.80f, 0.42f, 0.08f, 1},
                              {1.0f, 0.82f, 0.40f, 1}};
    for (int i = 0; i < 4; ++i) {
        cairo_move_to(cr, 512, 300);
        cairo_line_to(cr, corners[i][0], corners[i][1]);
        cairo_line_to(cr, corners[(i + 1) % 4][0], corners[(i + 1) % 4][1]);
        cairo_close_path(cr);
        SetColour(cr, facets[i]);
        cairo_fill(cr);
    }
    cairo_move_to(cr, corners[0][0], corners[0][1]);
    for (int i = 1; i <= 4; ++i) {
        cairo_line_to(cr, corners[i % 4][0], corners[i % 4][1]);
    }
    cairo_set_line_width(cr, 4);
    cairo_set_source_rgba(cr, 0.35, 0.15, 0.0, 0.9);
    cairo_stroke(cr);
    GlowText(cr, "QUARRY LIGHTS", FontFace::SansBold, 96, 512, 480, Align::Centre, Palette::White,
             Palette::Gold, Palette::Amber, 8);
    DrawText(cr, "presents", FontFace::Serif, 72, 512, 700, Align::Centre, Palette::Steel);

    Canvas title(1024, 1024);
    SpaceBackdrop(title, 88, 0.9f, 700);
    Planet(title, 512, 1200, 520, {0.35f, 0.55f, 0.30f, 1}, {0.06f, 0.22f, 0.45f, 1}, 1.3, true, 7);
    Scatter scatter(4);
    for (int i = 0; i < 18; ++i) {
        double x = scatter.Between(60, 964), y = scatter.Between(560, 860);
        PaintRock(title, i % 3, x, y, 30 + std::pow(scatter.Next(), 2.0) * 120,
                  scatter.Between(0, 6.3));
    }
    PaintShip(title, 512, 640, 200, 0, true);
    cr = title.cr;
    GlowText(cr, "BRINDLE'S", FontFace::SansBold, 84, 512, 260, Align::Centre, Palette::White,
             Palette::Cyan, Palette::Cyan, 8);
    GlowText(cr, "CATACLYSM", FontFace::SansBold, 118, 512, 400, Align::Centre, Palette::White,
             Palette::Amber, Palette::Ember, 12);
    Vignette(title);

    // Only the middle third of the loading picture shows, squeezed into a 4:1 band: the canvas
    // is drawn in the units it is shown in (2 wide, 0.5 / 0.33 high).
    Canvas loading(512, 512, 400, 303);
    cr = loading.cr;
    double band = 303 * (1 - 0.66), bandHeight = 303 * 0.33;
    GlowText(cr, "LOADING", FontFace::SansBold, 52, 200, band + bandHeight * 0.68, Align::Centre,
             Palette::White, Palette::Cyan, Palette::Cyan, 4);
    cairo_set_line_width(cr, 2);
    SetColour(cr, Palette::Cyan, 0.8);
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, 200 + side * 120, band + bandHeight * 0.5);
        cairo_line_to(cr, 200 + side * 190, band + bandHeight * 0.5);
    }
    cairo_stroke(cr);

    return WriteCanvas(context, "textures/presentation/titlepresents.tga", presents, true,
                       TopRow::HighT) &&
           WriteCanvas(context, "textures/presentation/titlescreen.tga", title, true,
                       TopRow::HighT) &&
           WriteCanvas(context, "textures/presentation/loading.tga", loading, true, TopRow::HighT);
}

// The menu pointer: an arrow whose tip, the hot spot, is the top-left pixel.
bool Pointer(const ForgeContext& context) {
    Canvas pointer(32, 32);
    cairo_t* cr = pointer.cr;
    cairo_move_to(cr, 1.5, 1.5);
    cairo_line_to(cr, 1.5, 26);
    cairo_line_to(cr, 8, 20);
    cairo_line_to(cr, 13, 30);
    cairo_line_to(cr, 18, 28);
    cairo_line_to(cr, 13, 18.5);
    cairo_line_to(cr, 22, 18.5);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 2);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetColour(cr, Palette::DeepCyan);
    cairo_stroke(cr);
    return WriteCanvas(context, "textures/menu/Pointer.tga", pointer, true, TopRow::HighT);
}

bool ForgeScreens(const ForgeContext& context) {
    return Background(context) && StoryFrames(context) && Credits(context) && EndScreens(context) &&
           Emblems(context) && Presentation(context) && Pointer(context);
}

}  // namespace

FORGE_STEP("screens", ForgeScreens);
