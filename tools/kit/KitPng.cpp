#include "tools/kit/KitPng.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// libpng's reader and what its callbacks need: the file's bytes, how far reading has come, the
// rows to fill and the message of the error that stopped it. It frees the reader when it goes.
struct PngReading {
    PngReading() = default;
    PngReading(const PngReading&) = delete;
    PngReading& operator=(const PngReading&) = delete;
    ~PngReading() { png_destroy_read_struct(&png, &info, nullptr); }

    png_structp png = nullptr;
    png_infop info = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t at = 0;
    png_bytep* rows = nullptr;
    char message[160] = "";
};

// libpng calls this on an error and must not get control back: it jumps to the setjmp in
// RunGuarded.
void OnPngError(png_structp png, png_const_charp message) {
    PngReading* reading = static_cast<PngReading*>(png_get_error_ptr(png));
    std::snprintf(reading->message, sizeof reading->message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings (a damaged ancillary chunk and the like) leave the picture readable; the kit keeps
// quiet about them.
void OnPngWarning(png_structp, png_const_charp) {}

void OnPngRead(png_structp png, png_bytep out, size_t length) {
    PngReading* reading = static_cast<PngReading*>(png_get_io_ptr(png));
    if (reading->size - reading->at < length) {
        png_error(png, "read beyond end of data");
    }
    std::memcpy(out, reading->data + reading->at, length);
    reading->at += length;
}

void ReadInfo(PngReading& reading) {
    png_set_read_fn(reading.png, &reading, OnPngRead);
    png_read_info(reading.png, reading.info);
}

// Every form becomes 8-bit RGB or RGBA: palettes and grey are expanded, a tRNS chunk becomes
// alpha, 16 bits are scaled to 8 with rounding, and interlaced rows are put back in place. The
// alpha mode makes the output sRGB and takes a file that states no gamma (no gAMA chunk, nor an
// sRGB chunk or an sRGB ICC profile, which libpng reads as one) for sRGB already, at every
// depth, so its stored samples come through; a file that states another gamma is converted.
void SetTransforms(PngReading& reading) {
    png_set_expand(reading.png);
    png_set_scale_16(reading.png);
    png_set_gray_to_rgb(reading.png);
    png_set_alpha_mode(reading.png, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    png_set_interlace_handling(reading.png);
    png_read_update_info(reading.png, reading.info);
}

void ReadRows(PngReading& reading) {
    png_read_image(reading.png, reading.rows);
}

// Runs one step of the reading with libpng's error jump set to land here; false when libpng
// stopped with an error. Only the step, libpng's own frames and the callbacks above, none of
// which owns anything to destroy, lie between this setjmp and the jump.
bool RunGuarded(PngReading& reading, void (*step)(PngReading&)) {
    if (setjmp(png_jmpbuf(reading.png)) != 0) {
        return false;
    }
    step(reading);
    return true;
}

}  // namespace

bool IsPng(const std::vector<uint8_t>& file) {
    return file.size() >= sizeof PngSignature &&
           std::equal(PngSignature, PngSignature + sizeof PngSignature, file.begin());
}

bool DecodePng(const std::vector<uint8_t>& file, TargaPixels& out, std::string& error) {
    PngReading reading;
    reading.data = file.data();
    reading.size = file.size();
    reading.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, OnPngError, OnPngWarning);
    reading.info = reading.png != nullptr ? png_create_info_struct(reading.png) : nullptr;
    if (reading.info == nullptr) {
        error = "not enough memory for libpng's reader";
        return false;
    }
    if (!RunGuarded(reading, ReadInfo)) {
        error = std::string("not a PNG image libpng reads: ") + reading.message;
        return false;
    }
    uint32_t width = png_get_image_width(reading.png, reading.info);
    uint32_t height = png_get_image_height(reading.png, reading.info);
    if (width == 0 || height == 0 || width > TargaLargestSide || height > TargaLargestSide) {
        error = "PNG image of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels; the game reads sides of 1 to " + std::to_string(TargaLargestSide);
        return false;
    }
    bool alpha = (png_get_color_type(reading.png, reading.info) & PNG_COLOR_MASK_ALPHA) != 0 ||
                 png_get_valid(reading.png, reading.info, PNG_INFO_tRNS) != 0;
    if (!RunGuarded(reading, SetTransforms)) {
        error = std::string("PNG image cannot be decoded: ") + reading.message;
        return false;
    }
    // At most 8192 x 4 bytes a row and 8192 rows, well inside size_t.
    size_t rowBytes = static_cast<size_t>(width) * (alpha ? 4 : 3);
    if (png_get_rowbytes(reading.png, reading.info) != rowBytes) {
        error = "PNG image does not decode to 8-bit RGB or RGBA";
        return false;
    }
    out.width = width;
    out.height = height;
    out.bitsPerPixel = alpha ? 32 : 24;
    out.pixels.assign(rowBytes * height, 0);
    // The file's first row goes last: the texture takes its rows from the bottom up.
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y) {
        rows[y] = out.pixels.data() + (height - 1 - y) * rowBytes;
    }
    reading.rows = rows.data();
    if (!RunGuarded(reading, ReadRows)) {
        error = std::string("PNG image cannot be decoded: ") + reading.message;
        return false;
    }
    return true;
}
