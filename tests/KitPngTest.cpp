// The kit's PNG reader. Every colour type, depth and gamma a paint program writes is checked
// against ImageMagick's own reading by tests/e2e/test_kit_pictures.sh; here, what a unit test
// sees more sharply: 16 bits rounded to 8 in every pass of an interlaced file, a file cut
// anywhere, and a side longer than the game reads.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tools/kit/KitPng.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An interlaced 16-bit RGBA PNG of the given samples (big-endian, rows from the top), by libpng.
Bytes Rgba16Png(uint32_t width, uint32_t height, Bytes samples) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Bytes file;
    png_set_write_fn(
        png, &file,
        [](png_structp writer, png_bytep bytes, size_t size) {
            Bytes* out = static_cast<Bytes*>(png_get_io_ptr(writer));
            out->insert(out->end(), bytes, bytes + size);
        },
        nullptr);
    png_set_IHDR(png, info, width, height, 16, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_ADAM7,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y) {
        rows[y] = samples.data() + static_cast<size_t>(y) * width * 8;
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file;
}

}  // namespace

TEST(KitPng, SixteenBitsRoundToEightRowsBottomUpAndCutOrOversizedFilesAreRefused) {
    const uint32_t width = 13, height = 11;
    std::mt19937 random(20261208);
    Bytes samples(width * height * 8);
    for (uint8_t& byte : samples) {
        byte = static_cast<uint8_t>(random());
    }
    const Bytes file = Rgba16Png(width, height, samples);
    TargaPixels image;
    std::string error;
    ASSERT_TRUE(DecodePng(file, image, error)) << error;
    ASSERT_EQ(image.bitsPerPixel, 32u);
    ASSERT_EQ(image.pixels.size(), width * height * 4u);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const size_t row = i / (width * 4);
        const size_t fromTop = (height - 1 - row) * width * 4 + i % (width * 4);
        const uint32_t sample = samples[2 * fromTop] << 8 | samples[2 * fromTop + 1];
        ASSERT_EQ(image.pixels[i], static_cast<int>((sample * 255 + 32767) / 65535))
            << "byte " << i;
    }

    // Cut anywhere before its IDAT data ends, the file is refused with a reason; the IEND chunk
    // (12 bytes) itself is not needed.
    const size_t iendSize = 12;
    for (size_t length = 0; length < file.size() - iendSize; ++length) {
        error.clear();
        ASSERT_FALSE(DecodePng(Bytes(file.begin(), file.begin() + length), image, error)) << length;
        ASSERT_FALSE(error.empty()) << length;
    }
    EXPECT_TRUE(DecodePng(Bytes(file.begin(), file.end() - iendSize), image, error)) << error;

    EXPECT_FALSE(DecodePng(Rgba16Png(TargaLargestSide + 1, 1, Bytes(8 * 8193)), image, error));
    EXPECT_EQ(error, "PNG image of 8193 x 1 pixels; the game reads sides of 1 to 8192");
}
