#include "tools/forge/Canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include <cstdio>
#include FT_FREETYPE_H

Canvas::Canvas(int pixelWidth, int pixelHeight, double unitsWide, double unitsHigh)
    : pixelWidth(pixelWidth), pixelHeight(pixelHeight), unitsWide(unitsWide), unitsHigh(unitsHigh) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixelWidth, pixelHeight);
    cr = cairo_create(surface);
    cairo_scale(cr, pixelWidth / unitsWide, pixelHeight / unitsHigh);
}

Canvas::Canvas(int pixelWidth, int pixelHeight)
    : Canvas(pixelWidth, pixelHeight, pixelWidth, pixelHeight) {}

Canvas::~Canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

TargaPixels Canvas::Pixels(bool alpha, TopRow top) const {
    cairo_surface_flush(surface);
    TargaPixels out;
    out.width = static_cast<uint32_t>(pixelWidth);
    out.height = static_cast<uint32_t>(pixelHeight);
    out.bitsPerPixel = alpha ? 32 : 24;
    out.pixels.reserve(static_cast<size_t>(pixelWidth) * pixelHeight * (alpha ? 4 : 3));
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < pixelHeight; ++row) {
        // The surface's first row is the top; HighT files store the bottom row first.
        int surfaceRow = top == TopRow::HighT ? pixelHeight - 1 - row : row;
        const uint32_t* line = reinterpret_cast<const uint32_t*>(data + surfaceRow * stride);
        for (int x = 0; x < pixelWidth; ++x) {
            uint32_t argb = line[x];
            uint32_t a = argb >> 24;
            uint32_t channels[3] = {(argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF};
            for (uint32_t channel : channels) {
                uint32_t straight = a == 0 ? 0 : (channel * 255 + a / 2) / a;
                out.pixels.push_back(static_cast<uint8_t>(straight > 255 ? 255 : straight));
            }
            if (alpha) {
                out.pixels.push_back(static_cast<uint8_t>(a));
            }
        }
    }
    return out;
}

cairo_font_face_t* LoadFontFace(FontFace face) {
    static const char* const Files[] = {
        "DejaVuSans.ttf",          "DejaVuSans-Bold.ttf", "DejaVuSansMono.ttf",
        "DejaVuSansMono-Bold.ttf", "DejaVuSerif.ttf",     "DejaVuSerif-Bold.ttf",
    };
    static cairo_font_face_t* loaded[6] = {};
    static FT_Library library = nullptr;
    int index = static_cast<int>(face);
    if (loaded[index] != nullptr) {
        return loaded[index];
    }
    if (library == nullptr && FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "cataclysm-forge: cannot start FreeType\n");
        return nullptr;
    }
    std::string path = std::string("/usr/share/fonts/truetype/dejavu/") + Files[index];
    FT_Face ftFace = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &ftFace) != 0) {
        std::fprintf(stderr, "cataclysm-forge: cannot read the font %s (fonts-dejavu-core)\n",
                     path.c_str());
        return nullptr;
    }
    loaded[index] = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    return loaded[index];
}

bool WriteTargaFile(const ForgeContext& context, const std::string& path, const TargaPixels& pixels,
                    TopRow top) {
    bool topFirst = top == TopRow::LowT;
    std::vector<uint8_t> packed = EncodeTarga(pixels, TargaForm::RunLength, topFirst);
    if (packed.size() >= TargaHeaderSize + pixels.pixels.size()) {
        packed = EncodeTarga(pixels, TargaForm::Uncompressed, topFirst);
    }
    return WriteForgedFile(context, path, packed.data(), packed.size());
}
