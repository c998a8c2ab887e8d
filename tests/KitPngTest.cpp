#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tools/kit/KitPng.h"

namespace {

using Bytes = std::vector<uint8_t>;

// PNG colour types, and the samples of a pixel in each.
enum ColourType : uint8_t { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };
constexpr uint32_t ChannelsOf[7] = {1, 0, 3, 1, 2, 0, 4};

// A picture for our own PNG writer: raw samples (palette indices for a palette picture), row by
// row from the top, and the chunks that go with them.
struct PngPicture {
    uint8_t colourType = Grey;
    uint8_t bitDepth = 8;
    bool interlaced = false;
    // The gAMA chunk's value (gamma times 100000), or 0 for a file without one.
    uint32_t gamma = 0;
    uint32_t width = 13;
    uint32_t height = 11;
    std::vector<uint16_t> samples;
    Bytes palette;       // RGB triples
    Bytes transparency;  // the tRNS chunk: an alpha for each of the first palette entries
};

void PutBe32(Bytes& out, uint32_t value) {
    out.insert(out.end(), {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                           static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)});
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutChunk(Bytes& out, const char* type, const Bytes& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes ZlibStored(const Bytes& raw) {
    Bytes out = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t length = std::min<size_t>(raw.size() - at, 65535);
        bool last = at + length == raw.size();
        out.insert(out.end(), {static_cast<uint8_t>(last ? 1 : 0), static_cast<uint8_t>(length),
                               static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(~length),
                               static_cast<uint8_t>(~length >> 8)});
        out.insert(out.end(), raw.begin() + at, raw.begin() + at + length);
        at += length;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(out, (b << 16) | a);
    return out;
}

// One scanline (filter type None) of the pixels in row y at x0, x0 + step, ...
void PutScanline(Bytes& out, const PngPicture& picture, uint32_t y, uint32_t x0, uint32_t step) {
    out.push_back(0);
    uint32_t channels = ChannelsOf[picture.colourType];
    uint32_t bits = 0, pending = 0;
    for (uint32_t x = x0; x < picture.width; x += step) {
        for (uint32_t c = 0; c < channels; ++c) {
            uint16_t sample = picture.samples[(y * picture.width + x) * channels + c];
            if (picture.bitDepth == 16) {
                out.insert(out.end(),
                           {static_cast<uint8_t>(sample >> 8), static_cast<uint8_t>(sample)});
                continue;
            }
            pending = (pending << picture.bitDepth) | sample;
            bits += picture.bitDepth;
            if (bits == 8) {
                out.push_back(static_cast<uint8_t>(pending));
                bits = pending = 0;
            }
        }
    }
    if (bits > 0) {
        out.push_back(static_cast<uint8_t>(pending << (8 - bits)));
    }
}

Bytes WritePng(const PngPicture& picture) {
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBe32(header, picture.width);
    PutBe32(header, picture.height);
    header.insert(header.end(), {picture.bitDepth, picture.colourType, 0, 0,
                                 static_cast<uint8_t>(picture.interlaced ? 1 : 0)});
    PutChunk(file, "IHDR", header);
    if (picture.gamma != 0) {
        Bytes gamma;
        PutBe32(gamma, picture.gamma);
        PutChunk(file, "gAMA", gamma);
    }
    if (!picture.palette.empty()) {
        PutChunk(file, "PLTE", picture.palette);
    }
    if (!picture.transparency.empty()) {
        PutChunk(file, "tRNS", picture.transparency);
    }
    Bytes raw;
    if (!picture.interlaced) {
        for (uint32_t y = 0; y < picture.height; ++y) {
            PutScanline(raw, picture, y, 0, 1);
        }
    } else {
        // Adam7: the first column and row of each pass, and its steps.
        const uint32_t passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                       {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        for (const auto& pass : passes) {
            if (pass[0] >= picture.width) {
                continue;
            }
            for (uint32_t y = pass[1]; y < picture.height; y += pass[3]) {
                PutScanline(raw, picture, y, pass[0], pass[2]);
            }
        }
    }
    PutChunk(file, "IDAT", ZlibStored(raw));
    PutChunk(file, "IEND", {});
    return file;
}

// A picture of random samples (and palette) of the given form.
PngPicture RandomPicture(uint8_t colourType, uint8_t bitDepth, bool transparency,
                         std::mt19937& random) {
    PngPicture picture;
    picture.colourType = colourType;
    picture.bitDepth = bitDepth;
    std::uniform_int_distribution<uint32_t> sample(0, (1u << bitDepth) - 1);
    std::uniform_int_distribution<uint32_t> byte(0, 255);
    picture.samples.resize(picture.width * picture.height * ChannelsOf[colourType]);
    for (uint16_t& value : picture.samples) {
        value = static_cast<uint16_t>(sample(random));
    }
    if (colourType == Palette) {
        uint32_t entries = 1u << bitDepth;
        for (uint32_t i = 0; i < entries * 3; ++i) {
            picture.palette.push_back(static_cast<uint8_t>(byte(random)));
        }
        // Fewer alphas than entries: the entries past them are opaque.
        for (uint32_t i = 0; transparency && i < std::max(1u, entries / 2); ++i) {
            picture.transparency.push_back(static_cast<uint8_t>(byte(random)));
        }
    }
    return picture;
}

// The RGB or RGBA levels (0 to 1), rows from the top, that the stored samples stand for.
std::vector<double> StoredLevels(const PngPicture& picture, bool alpha) {
    uint32_t channels = ChannelsOf[picture.colourType];
    double largest = (1u << picture.bitDepth) - 1;
    bool palette = picture.colourType == Palette;
    std::vector<double> out;
    for (size_t at = 0; at < picture.samples.size(); at += channels) {
        const uint16_t* s = &picture.samples[at];
        for (uint32_t c = 0; c < 3; ++c) {
            out.push_back(palette ? picture.palette[s[0] * 3 + c] / 255.0
                                  : s[channels >= 3 ? c : 0] / largest);
        }
        if (palette && alpha) {
            out.push_back(s[0] < picture.transparency.size() ? picture.transparency[s[0]] / 255.0
                                                             : 1);
        } else if (alpha) {
            out.push_back(s[channels - 1] / largest);
        }
    }
    return out;
}

// Every colour type at every depth it allows, palettes with and without tRNS, interlaced or
// not, without a gAMA chunk, with sRGB's usual 0.45455 and with a linear 1.0. Without a chunk
// or with sRGB's gamma the stored samples come through (16 bits rounded to 8); a linear file is
// converted to sRGB, alpha untouched.
TEST(KitPng, EveryFormKeepsItsStoredSamplesUnlessItStatesAnotherGamma) {
    struct Form {
        uint8_t colourType;
        std::vector<uint8_t> depths;
        bool transparency;
    };
    const Form forms[] = {{Grey, {1, 2, 4, 8, 16}, false}, {Rgb, {8, 16}, false},
                          {Palette, {1, 2, 4, 8}, false},  {Palette, {1, 2, 4, 8}, true},
                          {GreyAlpha, {8, 16}, false},     {Rgba, {8, 16}, false}};
    std::mt19937 random(20261208);
    for (const Form& form : forms) {
        for (uint8_t depth : form.depths) {
            for (bool interlaced : {false, true}) {
                for (uint32_t gamma : {0u, 45455u, 100000u}) {
                    SCOPED_TRACE(
                        "colour type " + std::to_string(form.colourType) + ", " +
                        std::to_string(depth) + " bits" + (form.transparency ? ", tRNS" : "") +
                        (interlaced ? ", interlaced" : "") + ", gAMA " + std::to_string(gamma));
                    PngPicture picture =
                        RandomPicture(form.colourType, depth, form.transparency, random);
                    picture.interlaced = interlaced;
                    picture.gamma = gamma;
                    bool alpha = form.colourType == GreyAlpha || form.colourType == Rgba ||
                                 form.transparency;
                    TargaPixels image;
                    std::string error;
                    ASSERT_TRUE(DecodePng(WritePng(picture), image, error)) << error;
                    ASSERT_EQ(image.width, picture.width);
                    ASSERT_EQ(image.height, picture.height);
                    ASSERT_EQ(image.bitsPerPixel, alpha ? 32u : 24u);
                    std::vector<double> levels = StoredLevels(picture, alpha);
                    ASSERT_EQ(image.pixels.size(), levels.size());
                    // Exact but for a linear file at 16 bits, which libpng converts through
                    // tables of about 11 bits: within one of the sRGB of a level up to 1/1024
                    // off the stored one.
                    bool rough = gamma == 100000 && depth == 16;
                    double slack = rough ? 1.0 / 1024 : 0;
                    uint32_t components = alpha ? 4 : 3;
                    size_t rowBytes = picture.width * components;
                    for (size_t i = 0; i < levels.size(); ++i) {
                        bool convert = gamma == 100000 && !(alpha && i % components == 3);
                        auto eight = [convert](double level) {
                            level = std::clamp(level, 0.0, 1.0);
                            return std::lround(255 * (convert ? std::pow(level, 1 / 2.2) : level));
                        };
                        // The decoded rows run from the bottom up.
                        int got = image.pixels[(picture.height - 1 - i / rowBytes) * rowBytes +
                                               i % rowBytes];
                        ASSERT_GE(got, eight(levels[i] - slack) - rough) << "byte " << i;
                        ASSERT_LE(got, eight(levels[i] + slack) + rough) << "byte " << i;
                    }
                }
            }
        }
    }
}

// A file cut anywhere before its last IDAT chunk ends is refused with a reason, as is one wider
// than the game reads; the IEND chunk itself is not needed.
TEST(KitPng, CutAndOversizedFilesAreRefused) {
    std::mt19937 random(7);
    PngPicture picture = RandomPicture(Rgba, 16, false, random);
    picture.interlaced = true;
    Bytes file = WritePng(picture);
    const size_t iendSize = 12;
    TargaPixels image;
    std::string error;
    for (size_t length = 0; length < file.size() - iendSize; ++length) {
        error.clear();
        ASSERT_FALSE(DecodePng(Bytes(file.begin(), file.begin() + length), image, error)) << length;
        ASSERT_FALSE(error.empty()) << length;
    }
    EXPECT_TRUE(DecodePng(Bytes(file.begin(), file.end() - iendSize), image, error)) << error;

    picture.width = TargaLargestSide + 1;
    picture.height = 1;
    picture.samples.assign(picture.width * 4, 0);
    EXPECT_FALSE(DecodePng(WritePng(picture), image, error));
    EXPECT_EQ(error, "PNG image of 8193 x 1 pixels; the game reads sides of 1 to 8192");
}

}  // namespace
