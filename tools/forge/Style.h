#pragma once
#include <cairo.h>
#include <cstdint>
#include <string>

#include "tools/forge/Canvas.h"
#include "tools/forge/Raster.h"

// The game's one look: deep-space blues and violets, cyan light for everything the player
// controls, warm amber for rewards and danger, DejaVu lettering.
namespace Palette {
constexpr Colour Space = {0.02f, 0.03f, 0.09f, 1};
constexpr Colour Indigo = {0.10f, 0.11f, 0.30f, 1};
constexpr Colour Violet = {0.32f, 0.16f, 0.45f, 1};
constexpr Colour Cyan = {0.31f, 0.85f, 1.0f, 1};
constexpr Colour DeepCyan = {0.08f, 0.42f, 0.62f, 1};
constexpr Colour Amber = {1.0f, 0.64f, 0.22f, 1};
constexpr Colour Gold = {1.0f, 0.84f, 0.35f, 1};
constexpr Colour Ember = {0.95f, 0.30f, 0.12f, 1};
constexpr Colour Steel = {0.78f, 0.83f, 0.90f, 1};
constexpr Colour White = {1, 1, 1, 1};
}  // namespace Palette

void SetColour(cairo_t* cr, const Colour& colour, double alpha = 1.0);

enum class Align { Left, Centre, Right };

// Text with its baseline at y. Returns the width it took.
double DrawText(cairo_t* cr, const std::string& text, FontFace face, double size, double x,
                double y, Align align, const Colour& colour);

// The same text as a path, for fills with gradients and strokes.
void TextPath(cairo_t* cr, const std::string& text, FontFace face, double size, double x, double y,
              Align align);
double TextWidth(cairo_t* cr, const std::string& text, FontFace face, double size);
// Where the text's ink lies, from the pen at the start of its baseline, and how far it moves
// the pen.
cairo_text_extents_t TextExtents(cairo_t* cr, const std::string& text, FontFace face, double size);

// Text that glows: soft halos in `glow`, then the letters filled top to bottom from `top` to
// `bottom` with a thin dark outline.
void GlowText(cairo_t* cr, const std::string& text, FontFace face, double size, double x, double y,
              Align align, const Colour& top, const Colour& bottom, const Colour& glow,
              double glowSize);

void RoundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius);

// A translucent dark panel with a bright rim, the frame of every boxed thing in the game.
void Panel(cairo_t* cr, double x, double y, double width, double height, double radius,
           const Colour& rim, double rimWidth, double fillAlpha);

// A soft round glow: colour at the centre fading to nothing at `radius`.
void Glow(cairo_t* cr, double x, double y, double radius, const Colour& colour, double alpha);

// Stars scattered over a rectangle, a few of them bright with a cross of light.
void StarField(cairo_t* cr, double width, double height, int count, uint32_t seed,
               double brightness);

// A nebula painted pixel by pixel over the whole canvas: violet and blue clouds over deep space.
void Nebula(Canvas& canvas, uint32_t seed, float strength);

// A small deterministic random number generator for scattering things.
class Scatter {
public:
    explicit Scatter(uint32_t seed) : state(seed * 2654435761u + 1) {}
    double Next() {  // 0 to 1
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
    double Between(double low, double high) { return low + (high - low) * Next(); }

private:
    uint32_t state;
};
