// The bitmap font "fonts/default.tga": a 16 x 16 grid of 32-pixel cells holding the codes 32 to
// 255 in order from the top-left (the space), white letters whose alpha is their coverage so
// the game can tint them. Letters are widened to suit the square cells of the text grid.
#include <cmath>
#include <string>

#include "tools/forge/Sprites.h"

namespace {

constexpr int Cell = 32;
constexpr int Grid = 16;

// Latin-1 code points as UTF-8 for Cairo.
std::string Utf8(int code) {
    std::string text;
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
    return text;
}

}  // namespace

bool ForgeFont(const ForgeContext& context) {
    Canvas canvas(Cell * Grid, Cell * Grid);
    cairo_t* cr = canvas.cr;
    cairo_set_font_face(cr, LoadFontFace(FontFace::SansMonoBold));
    cairo_set_font_size(cr, 24);
    for (int cell = 0; cell < Grid * Grid; ++cell) {
        int code = cell + 32;
        bool printable = (code > 32 && code < 127) || (code >= 161 && code <= 255);
        if (!printable) {
            continue;
        }
        std::string text = Utf8(code);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.c_str(), &extents);
        double left = (cell % Grid) * Cell;
        double top = (cell / Grid) * Cell;
        cairo_save(cr);
        cairo_translate(cr, left + Cell / 2.0, top + 24);
        cairo_scale(cr, 1.4, 1.0);
        cairo_new_path(cr);
        cairo_move_to(cr, -extents.x_advance / 2, 0);
        cairo_text_path(cr, text.c_str());
        cairo_restore(cr);
        // A faint halo, then the letter.
        cairo_set_line_width(cr, 2.0);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.25);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        cairo_fill(cr);
    }
    // The game maps the image with t = 1 at the top: row 0 of glyphs is the top of the picture.
    return WriteCanvas(context, "fonts/default.tga", canvas, true, TopRow::HighT);
}

FORGE_STEP("font", ForgeFont);
