// The picture files the game reads: Targa files and the textures made of them, the kit's PNG
// reader that makes them, and the menu picture bundles.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "render/BundleFile.h"
#include "render/MultiTex.h"
#include "render/Targa.h"
#include "render/TargaFile.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempFolder.h"
#include "tools/kit/KitPng.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A TGA file of the given form and sides followed by `data` as its pixel bytes.
Bytes Tga(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, const Bytes& data,
          uint8_t descriptor = 0) {
    Bytes file(TargaHeaderSize + data.size(), 0);
    file[2] = type;
    file[12] = static_cast<uint8_t>(width);
    file[13] = static_cast<uint8_t>(width >> 8);
    file[14] = static_cast<uint8_t>(height);
    file[15] = static_cast<uint8_t>(height >> 8);
    file[16] = depth;
    file[17] = descriptor;
    std::copy(data.begin(), data.end(), file.begin() + TargaHeaderSize);
    return file;
}

// The pixels of a file that must decode.
Bytes Decoded(const Bytes& file) {
    TargaPixels image;
    EXPECT_TRUE(DecodeTarga(file.data(), file.size(), image));
    return image.pixels;
}

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

// Values as 32-bit little-endian words, the way every bundle integer is stored.
Bytes Words(std::initializer_list<uint32_t> values) {
    Bytes out;
    for (uint32_t value : values) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<uint8_t>(value >> shift));
        }
    }
    return out;
}

Bytes operator+(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Bytes Descrambled(Bytes block) {
    TransformBundleHeader(block.data(), block.size(), ScrambleDirection::Descramble);
    return block;
}

// An RGB atlas of one colour, without entries.
BundleContents Atlas(uint32_t width, uint32_t height) {
    BundleContents contents;
    contents.components = 3;
    contents.width = width;
    contents.height = height;
    contents.pixels.assign(width * height * 3, 40);
    return contents;
}

// A bundle file written by hand from a descrambled header block and raw run bytes.
Bytes HandBundle(Bytes block, uint32_t pixelDataSize, const Bytes& runs) {
    TransformBundleHeader(block.data(), block.size(), ScrambleDirection::Scramble);
    return Words({static_cast<uint32_t>(block.size())}) + block + Words({pixelDataSize}) + runs;
}

// The start of a header block, up to and including entryCount; the atlas is two rows high.
Bytes HeaderBlock(uint32_t components, uint32_t width, uint32_t entryCount) {
    return Words({components}) + Bytes{0} + Words({width, 2, entryCount});
}

bool Parses(const Bytes& file) {
    BundleContents contents;
    bool parsed = ParseBundle(file.data(), file.size(), contents);
    if (!parsed) {
        EXPECT_TRUE(contents.entries.empty() && contents.pixels.empty());
    }
    return parsed;
}

}  // namespace

// Pixels come in red, green, blue (and alpha) order, 24 and 32 bits, uncompressed and run-length:
// tests/e2e/test_kit_pictures.sh reads them back against ImageMagick, but its pictures hardly have
// runs of 32 bits. The bit that marks a picture saved top row first does not reorder the rows.
TEST(TargaDecoding, ThirtyTwoBitRunsKeepTheirAlphaAndTheTopFirstBitDoesNotReorderRows) {
    EXPECT_EQ(Decoded(Tga(10, 3, 1, 32, {0, 1, 2, 3, 4, 0x81, 5, 6, 7, 8})),
              (Bytes{3, 2, 1, 4, 7, 6, 5, 8, 7, 6, 5, 8}));
    EXPECT_EQ(Decoded(Tga(2, 1, 2, 24, {1, 1, 1, 2, 2, 2}, TargaTopFirstBit)),
              (Bytes{1, 1, 1, 2, 2, 2}));
}

// Packets stop at the last pixel; only the streams that ran out before it say they were padded.
TEST(TargaDecoding, RunLengthStreamsAreCutOrPaddedAtTheLastPixel) {
    const std::tuple<const char*, Bytes, Bytes, bool> cases[] = {
        {"a run of 128", {0xFF, 1, 2, 3}, {3, 2, 1, 3, 2, 1}, false},
        {"a raw packet of 3", {2, 1, 1, 1, 2, 2, 2, 3, 3, 3}, {1, 1, 1, 2, 2, 2}, false},
        {"bytes after the last pixel", {0x81, 1, 2, 3, 0, 0, 0, 0}, {3, 2, 1, 3, 2, 1}, false},
        {"one pixel of four, repeated", {0, 7, 8, 9}, {9, 8, 7, 9, 8, 7, 9, 8, 7, 9, 8, 7}, true},
        {"a raw pixel cut half way", {1, 7, 8, 9, 4}, {9, 8, 7, 9, 8, 4}, true},
        {"a run's pixel cut off", {0x81, 1, 2}, {0, 2, 1, 0, 2, 1}, true},
    };
    for (const auto& [what, runs, pixels, padded] : cases) {
        const Bytes file = Tga(10, static_cast<uint16_t>(pixels.size() / 3), 1, 24, runs);
        TargaPixels image;
        EXPECT_TRUE(DecodeTarga(file.data(), file.size(), image)) << what;
        EXPECT_EQ(image.pixels, pixels) << what;
        EXPECT_EQ(image.paddedAtEnd, padded) << what;
    }
}

TEST(TargaDecoding, RejectsEveryOtherKindOfFileSayingWhy) {
    const Bytes pixel = {1, 2, 3};
    EXPECT_EQ(Decoded(Tga(2, 1, 1, 24, pixel)).size(), 3u);
    EXPECT_EQ(Decoded(Tga(10, 8192, 1, 24, {0xFF, 1, 2, 3})).size(), 8192u * 3)
        << "the largest side";
    auto patched = [&](size_t offset, uint8_t value) {
        Bytes file = Tga(2, 1, 1, 24, pixel);
        file[offset] = value;
        return file;
    };
    Bytes shortHeader = Tga(2, 1, 1, 24, {});
    shortHeader.pop_back();
    using R = TargaRefusal;
    const std::tuple<const char*, Bytes, TargaRefusal> cases[] = {
        {"image ID field", patched(0, 1), R::IdField},
        {"colour map", patched(1, 1), R::ColourMap},
        {"colour-map length", patched(5, 1), R::ColourMap},
        {"x-origin", patched(8, 4), R::Origin},
        {"grey-scale", Tga(3, 1, 1, 24, pixel), R::NotTrueColour},
        {"16-bit", Tga(2, 1, 1, 16, pixel), R::Depth},
        {"zero width", Tga(2, 0, 1, 24, pixel), R::ZeroSide},
        {"zero height", Tga(10, 1, 0, 24, pixel), R::ZeroSide},
        {"short pixel data", Tga(2, 2, 1, 24, pixel), R::ShortPixels},
        {"no pixel data", Tga(2, 1, 1, 24, {}), R::ShortPixels},
        {"short header", shortHeader, R::ShortHeader},
        // Refused from the header alone; 65535 x 65535 x 4 would not even fit in 32 bits.
        {"side above 8192", Tga(10, 8193, 1, 24, {0xFF, 1, 2, 3}), R::SideTooLarge},
        {"largest sides", Tga(10, 65535, 65535, 32, {0xFF, 1, 2, 3, 4}), R::SideTooLarge},
    };
    for (const auto& [what, file, expected] : cases) {
        TargaPixels image;
        TargaRefusal why = R::None;
        EXPECT_FALSE(DecodeTarga(file.data(), file.size(), image, &why)) << what;
        EXPECT_EQ(why, expected) << what;
    }
}

// A recording GL and an asset root of its own for each test of pictures made into textures.
class PictureTexture : public ::testing::Test {
protected:
    void SetUp() override { RecordingGL::Install(); }
    void TearDown() override { RecordingGL::Uninstall(); }

    void WriteImage(const std::string& path, uint32_t width, uint32_t height) {
        const TargaPixels image{width, height, 32, Bytes(width * height * 4, 9)};
        assets.Write(path, EncodeTarga(image, TargaForm::RunLength, false));
    }

    TempAssetRoot assets;
};
using TargaTexture = PictureTexture;
using BundleTexture = PictureTexture;

TEST_F(TargaTexture, LoadUploadsLevelZeroAndDropsThePixelsAndFailuresLeaveNoTexture) {
    assets.Write("textures/one.tga", Tga(2, 2, 1, 24, {1, 2, 3, 4, 5, 6}));
    RecordingGL::KeepTextureBytes(true);
    Targa image;
    ASSERT_TRUE(image.Load("textures/one.tga", false));
    EXPECT_STREQ(image.name, "textures/one.tga");
    EXPECT_TRUE(image.pixels.empty());
    // Rows of 6 bytes only arrive whole with an unpack alignment of 1, set before the upload.
    EXPECT_EQ(RecordingGL::CallNames(),
              (std::vector<std::string>{"glGenTextures", "glBindTexture", "glPixelStorei",
                                        "glTexImage2D"}));
    ASSERT_EQ(RecordingGL::TextureUploads().size(), 1u);
    const RecordingGL::TextureUpload& upload = RecordingGL::TextureUploads()[0];
    EXPECT_EQ(std::make_tuple(upload.texture, upload.internalFormat, upload.format, upload.bytes),
              std::make_tuple(image.textureId, 3, GLenum{GL_RGB}, Bytes{3, 2, 1, 6, 5, 4}));

    RecordingGL::ClearCalls();
    Targa missing;
    EXPECT_FALSE(missing.Load("textures/none.tga", false));
    std::string longPath = "textures/" + std::string(60, 'x') + ".tga";
    WriteImage(longPath, 2, 2);
    Targa tooLong;
    EXPECT_FALSE(tooLong.Load(longPath.c_str(), false)) << "a path longer than the name field";
    EXPECT_TRUE(RecordingGL::CallsTo("glGenTextures").empty());
    {
        Targa kept;
        kept.Load("textures/one.tga", false);
        RecordingGL::ClearCalls();
    }
    EXPECT_EQ(RecordingGL::CallsTo("glDeleteTextures").size(), 1u)
        << "a picture's texture goes with it";
}

TEST_F(TargaTexture, PowerOfTwoSidesGetAFullChainAndOthersOnlyLevelZero) {
    struct Case {
        uint32_t width, height;
        size_t levels;
    };
    for (Case c :
         {Case{256, 256, 9}, Case{100, 100, 1}, Case{1, 1, 1}, Case{2, 8, 4}, Case{16, 2, 5}}) {
        std::string path = "textures/" + std::to_string(c.width) + "x" + std::to_string(c.height);
        SCOPED_TRACE(path);
        WriteImage(path, c.width, c.height);
        RecordingGL::ClearCalls();
        Targa image;
        image.Load(path.c_str(), true);
        std::vector<RecordingGL::TextureUpload>& uploads = RecordingGL::TextureUploads();
        ASSERT_EQ(uploads.size(), c.levels);
        bool chain = c.levels > 1;
        EXPECT_EQ(image.mipmapped, chain);
        for (size_t level = 0; level < uploads.size(); ++level) {
            EXPECT_EQ(uploads[level].level, static_cast<GLint>(level));
        }
        EXPECT_EQ(uploads.back().width * uploads.back().height, chain ? 1 : c.width * c.height)
            << "a chain ends at 1 x 1";

        RecordingGL::ClearCalls();
        image.Bind();
        EXPECT_EQ(RecordingGL::CallsTo("glBindTexture")[0].args[1], image.textureId);
        EXPECT_EQ(RecordingGL::Calls().back().args[1], GL_TEXTURE_MIN_FILTER);
        EXPECT_EQ(RecordingGL::Calls().back().args[2],
                  chain ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    }
}

TEST(Mipmaps, EachTexelIsTheTruncatedMeanOfItsBlock) {
    // 2 x 2 RGB: channel sums 1+2+2+2 = 7 -> 1, 255 * 4 -> 255, 0+0+0+3 -> 0.
    Bytes level = {1, 255, 0, 2, 255, 0, 2, 255, 0, 2, 255, 3};
    uint8_t next[3];
    HalveMipLevel(level.data(), 2, 2, 3, next);
    EXPECT_EQ(Bytes(next, next + 3), (Bytes{1, 255, 0}));
    // A column of 1 x 4 averages pairs of rows in place.
    Bytes column = {10, 20, 31, 40};
    HalveMipLevel(column.data(), 1, 4, 1, column.data());
    EXPECT_EQ(column[0], 15);
    EXPECT_EQ(column[1], 35);
}

// The kit's PNG reader: 16 bits rounded to 8 in every pass of an interlaced file, rows bottom up,
// a file cut anywhere, and a side longer than the game reads. (Every colour type, depth and gamma
// is read against ImageMagick by tests/e2e/test_kit_pictures.sh.)
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

// (The writer's scramble undoing it is the bundle files' round trip below.)
TEST(BundleScramble, MatchesTheFormat) {
    // Blocks descrambled outside the game with the format's six steps and the fixed masks every
    // stored bundle relies on; the sizes reach each step's loop ends.
    const std::pair<Bytes, Bytes> known[] = {
        {{0x5A}, {0x5A}},
        {{0x12, 0x34}, {0x91, 0x75}},
        {{0x12, 0x34, 0x56, 0x78, 0x9A}, {0x5A, 0xF5, 0xA6, 0xB7, 0xB3}},
        {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}, {0x11, 0x7A, 0xED, 0x37, 0xB3, 0x7E}},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
         {0x95, 0xBC, 0xFC, 0x95, 0xD4, 0x95, 0x14, 0x3F, 0xFE, 0x7C, 0xD7, 0x3D, 0x16}},
    };
    for (const auto& [block, descrambled] : known) {
        EXPECT_EQ(Descrambled(block), descrambled) << block.size() << " bytes";
    }
}

TEST(BundleFile, RejectsWhatTheFileCannotBack) {
    const Bytes noEntries = HeaderBlock(3, 2, 0) + Words({0});
    const Bytes runs = Words({4}) + Bytes{9, 8, 7};  // one run covering the 2 x 2 RGB atlas
    auto withBlock = [&](const Bytes& block) { return HandBundle(block, 12, runs); };
    ASSERT_TRUE(Parses(withBlock(noEntries))) << "the valid base case";
    const std::pair<const char*, Bytes> cases[] = {
        {"headerSize 0", Words({0})},
        {"block shorter than headerSize", Words({1000}) + Bytes(10, 0)},
        {"entry count", withBlock(HeaderBlock(3, 2, 0x40000000) + Words({0}))},
        {"name past the block", withBlock(HeaderBlock(3, 2, 1) + Words({500}) + Bytes(20, 'a'))},
        {"x1 past the table",
         withBlock(HeaderBlock(3, 2, 1) + Words({1}) + Bytes{'a'} + Words({0, 0, 2, 1, 0}))},
        {"free rectangle count", withBlock(HeaderBlock(3, 2, 0) + Words({2}) + Bytes(17, 0))},
        {"width 0", withBlock(HeaderBlock(3, 0, 0) + Words({0}))},
        {"width 1", withBlock(HeaderBlock(3, 1, 0) + Words({0}))},
        {"width 8193", withBlock(HeaderBlock(3, 8193, 0) + Words({0}))},
        {"five components", HandBundle(HeaderBlock(5, 2, 0) + Words({0}), 20, runs)},
        {"pixelDataSize too small", HandBundle(noEntries, 11, runs)},
        {"run past the last pixel", HandBundle(noEntries, 12, Words({5}) + Bytes{1, 2, 3})},
        {"runs end early", HandBundle(noEntries, 12, Words({3}) + Bytes{1, 2, 3})},
        {"run pixel cut off", HandBundle(noEntries, 12, Words({4}) + Bytes{9, 8})},
    };
    for (const auto& [what, file] : cases) {
        EXPECT_FALSE(Parses(file)) << what;
    }
}

TEST(BundlePacking, PicturesLandWhereTheirEntriesSayWithRepeatedEdges) {
    std::vector<BundlePicture> pictures;
    for (auto [width, height] : {std::pair{30u, 10u}, {12u, 40u}, {20u, 20u}, {5u, 5u}}) {
        uint8_t shade = static_cast<uint8_t>(10 + 10 * pictures.size());
        pictures.push_back(BundlePicture{"P" + std::to_string(shade) + ".tga", width, height, 3,
                                         Bytes(width * height * 3, shade)});
        pictures.back().pixels[0] = 200;  // the bottom-left pixel is marked
    }
    BundleContents atlas;
    std::string error;
    ASSERT_TRUE(PackBundle(pictures, 64, 64, false, atlas, error)) << error;
    ASSERT_EQ(atlas.entries.size(), pictures.size());
    auto pixelAt = [&](uint32_t x, uint32_t y) { return atlas.pixels.data() + (y * 64 + x) * 4; };
    auto apart = [](const BundleEntry& a, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) {
        return a.x1 <= x0 || x1 <= a.x0 || a.y1 <= y0 || y1 <= a.y0;
    };
    for (size_t i = 0; i < pictures.size(); ++i) {
        const BundleEntry& entry = atlas.entries[i];
        SCOPED_TRACE(pictures[i].name);
        EXPECT_EQ(entry.name, pictures[i].name) << "entries keep the order given";
        EXPECT_EQ(entry.x1 - entry.x0, pictures[i].width);
        EXPECT_EQ(entry.y1 - entry.y0, pictures[i].height);
        EXPECT_LT(std::max(entry.x1, entry.y1), 63u) << "the last table entry is never an edge";
        EXPECT_EQ(pixelAt(entry.x0, entry.y0)[0], 200);
        EXPECT_EQ(pixelAt(entry.x0 - 1, entry.y0 - 1)[0], 200) << "the corner is repeated";
        EXPECT_EQ(pixelAt(entry.x1 - 1, entry.y1 - 1)[0], pictures[i].pixels[3]);
        EXPECT_EQ(pixelAt(entry.x1, entry.y1)[0], pictures[i].pixels[3]);
        EXPECT_EQ(pixelAt(entry.x1, entry.y1)[3], 255) << "RGB pictures become opaque";
        for (size_t j = 0; j < i; ++j) {
            const BundleEntry& other = atlas.entries[j];
            EXPECT_TRUE(apart(entry, other.x0, other.y0, other.x1, other.y1)) << other.name;
        }
    }
    pictures.push_back(BundlePicture{"Huge.tga", 80, 10, 3, Bytes(2400, 1)});
    EXPECT_FALSE(PackBundle(pictures, 64, 64, false, atlas, error));
    EXPECT_NE(error.find("Huge.tga"), std::string::npos);
}

TEST_F(BundleTexture, FindPullsEdgesInAndTheLastEntryReachesTheFarEdge) {
    BundleContents contents = Atlas(1024, 4);
    contents.entries = {
        {"Wide.tga", 0, 0, 1023, 2}, {"Wide.tga", 5, 0, 6, 1}, {"Mid.tga", 256, 1, 512, 3}};
    assets.Write("tbundles/test.qtb", WriteBundle(contents));
    MultiTex bundle;
    ASSERT_TRUE(bundle.Load("tbundles/test.qtb", false));
    const float inset = 1.0f / 1024;
    float place[4] = {};
    ASSERT_TRUE(bundle.Find("Wide.tga", place)) << "the first of two equal names wins";
    EXPECT_FLOAT_EQ(place[0], inset);
    EXPECT_FLOAT_EQ(place[1], inset);
    EXPECT_FLOAT_EQ(place[2], 1.0f - inset) << "table entry 1023 is 1.0";
    EXPECT_FLOAT_EQ(place[3], 0.5f - inset);
    ASSERT_TRUE(bundle.Find("Mid.tga", place));
    EXPECT_FLOAT_EQ(place[0], 0.25f + inset);
    EXPECT_FLOAT_EQ(place[2], 0.5f - inset);
    EXPECT_FLOAT_EQ(place[3], 1.0f - inset) << "row 3 of 4 is the last entry";

    float untouched[4] = {7, 7, 7, 7};
    for (const char* name : {"wide.tga", "Wide", static_cast<const char*>(nullptr)}) {
        EXPECT_FALSE(bundle.Find(name, untouched)) << "names compare whole and with case";
    }
    EXPECT_EQ(untouched[0], 7.0f);
}

TEST_F(BundleTexture, LoadReplacesTheTextureAndAFailureEmptiesTheBundle) {
    BundleContents uniform = Atlas(4, 4);
    uniform.mipmapped = true;
    uniform.entries = {{"Left.tga", 0, 0, 3, 3}};
    Bytes file = WriteBundle(uniform);
    EXPECT_EQ(file.size(), 4 + file[0] + 4 + 4 + 3u) << "one run for a uniform atlas";
    assets.Write("tbundles/a.qtb", file);

    MultiTex bundle;
    ASSERT_TRUE(bundle.Load("tbundles/a.qtb", false));
    EXPECT_EQ(bundle.pixels, uniform.pixels) << "pixels stay after the upload";
    EXPECT_EQ(RecordingGL::CallsTo("glTexImage2D").size(), 3u) << "4 x 4 gets levels 0 to 2";
    ASSERT_TRUE(bundle.Load("tbundles/a.qtb", false));
    EXPECT_EQ(RecordingGL::CallsTo("glDeleteTextures").size(), 2u);
    EXPECT_EQ(bundle.textureId, 2u) << "the second load made a new texture";

    assets.Write("tbundles/bad.qtb", Bytes(file.begin(), file.end() - 1));
    EXPECT_FALSE(bundle.Load("tbundles/bad.qtb", false));
    EXPECT_TRUE(bundle.entries.empty());
    EXPECT_TRUE(bundle.pixels.empty());
    float place[4];
    EXPECT_FALSE(bundle.Find("Left.tga", place));
    EXPECT_FALSE(bundle.Load("tbundles/missing.qtb", false));
    EXPECT_FALSE(bundle.Load(nullptr, false));
}
