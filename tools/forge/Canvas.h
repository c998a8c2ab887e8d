#pragma once
#include <cairo.h>
#include <string>

#include "render/TargaFile.h"
#include "tools/forge/ForgeStep.h"

// How the drawing code that uses a texture maps it: with t = 1 at the top of the sprite (the
// file's last row shows at the top, the usual Targa order) or with t = 0 at the top (the
// file's first row shows at the top). Pictures are written so that they show upright.
enum class TopRow { HighT, LowT };

// A Cairo drawing surface of a fixed pixel size whose drawing units are the units of the
// rectangle the game shows it in, so a picture stretched by the game (a power-of-two texture
// on a 4:3 quad) is drawn squeezed here and shows undistorted.
class Canvas {
public:
    Canvas(int pixelWidth, int pixelHeight, double unitsWide, double unitsHigh);
    Canvas(int pixelWidth, int pixelHeight);  // one unit per pixel
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr;
    cairo_surface_t* surface;
    int pixelWidth;
    int pixelHeight;
    double unitsWide;
    double unitsHigh;

    // The pixels without Cairo's premultiplied alpha, as RGB (alpha false) or RGBA, rows
    // ordered for `top`.
    TargaPixels Pixels(bool alpha, TopRow top) const;
};

// The faces of the DejaVu fonts the pictures use; the forge fails if they are missing.
enum class FontFace { Sans, SansBold, SansMono, SansMonoBold, Serif, SerifBold };
cairo_font_face_t* LoadFontFace(FontFace face);

// Writes a picture as a Targa file, run-length encoded when that is smaller.
bool WriteTargaFile(const ForgeContext& context, const std::string& path, const TargaPixels& pixels,
                    TopRow top);
