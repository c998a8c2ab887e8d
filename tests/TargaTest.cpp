#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/Targa.h"
#include "render/TargaFile.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempAssetRoot.h"

namespace {

std::vector<uint8_t> Header(uint8_t type, uint16_t width, uint16_t height, uint8_t depth,
                            uint8_t descriptor = 0) {
    return {0,
            0,
            type,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            static_cast<uint8_t>(width),
            static_cast<uint8_t>(width >> 8),
            static_cast<uint8_t>(height),
            static_cast<uint8_t>(height >> 8),
            depth,
            descriptor};
}

std::vector<uint8_t> Joined(std::vector<uint8_t> first, const std::vector<uint8_t>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// A picture with flat stretches and changing pixels, so run-length files mix both packets.
TargaPixels Sample(uint32_t width, uint32_t height, uint32_t bitsPerPixel) {
    TargaPixels image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bitsPerPixel;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            bool flat = x < width / 2;
            image.pixels.push_back(static_cast<uint8_t>(flat ? 10 : x * 7 + y));
            image.pixels.push_back(static_cast<uint8_t>(flat ? 20 : y * 13));
            image.pixels.push_back(static_cast<uint8_t>(flat ? 30 : x ^ y));
            if (bitsPerPixel == 32) {
                image.pixels.push_back(static_cast<uint8_t>(flat ? 255 : x * 3));
            }
        }
    }
    return image;
}

std::vector<uint8_t> Decoded(const std::vector<uint8_t>& file) {
    TargaPixels image;
    EXPECT_TRUE(DecodeTarga(file.data(), file.size(), image));
    return image.pixels;
}

bool Decodes(const std::vector<uint8_t>& file) {
    TargaPixels image;
    return DecodeTarga(file.data(), file.size(), image);
}

}  // namespace

TEST(TargaDecoding, HandMadeFilesGiveTheirPixelsInRedGreenBlueOrder) {
    // Uncompressed 24-bit, 2 x 1: blue, green, red in the file.
    EXPECT_EQ(Decoded(Joined(Header(2, 2, 1, 24), {1, 2, 3, 4, 5, 6})),
              (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
    // Uncompressed 32-bit keeps alpha in place.
    EXPECT_EQ(Decoded(Joined(Header(2, 1, 1, 32), {1, 2, 3, 9})),
              (std::vector<uint8_t>{3, 2, 1, 9}));
    // Run-length 24-bit, 4 x 1: a run of two, then a raw packet of two.
    EXPECT_EQ(Decoded(Joined(Header(10, 4, 1, 24), {0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9})),
              (std::vector<uint8_t>{3, 2, 1, 3, 2, 1, 6, 5, 4, 9, 8, 7}));
    // Run-length 32-bit, 3 x 1: a raw pixel, then a run of two.
    EXPECT_EQ(Decoded(Joined(Header(10, 3, 1, 32), {0x00, 1, 2, 3, 4, 0x81, 5, 6, 7, 8})),
              (std::vector<uint8_t>{3, 2, 1, 4, 7, 6, 5, 8, 7, 6, 5, 8}));
}

TEST(TargaDecoding, AllFourFormsRoundTripAndTwinsAgree) {
    for (uint32_t depth : {24u, 32u}) {
        TargaPixels image = Sample(37, 11, depth);
        std::vector<uint8_t> raw = EncodeTarga(image, TargaForm::Uncompressed, false);
        std::vector<uint8_t> packed = EncodeTarga(image, TargaForm::RunLength, false);
        EXPECT_LT(packed.size(), raw.size()) << "flat halves should compress";
        EXPECT_EQ(Decoded(raw), image.pixels) << depth;
        EXPECT_EQ(Decoded(packed), image.pixels) << depth;
    }
}

TEST(TargaDecoding, TheOriginBitDoesNotReorderRows) {
    std::vector<uint8_t> rows = {1, 1, 1, 2, 2, 2};  // two rows of one pixel
    EXPECT_EQ(Decoded(Joined(Header(2, 1, 2, 24, 0x00), rows)),
              Decoded(Joined(Header(2, 1, 2, 24, TargaTopFirstBit), rows)));
}

TEST(TargaDecoding, RunLengthStreamsAreCutOrPaddedAtTheLastPixel) {
    // A run of 128 into a 2 x 1 image stops at the last pixel.
    EXPECT_EQ(Decoded(Joined(Header(10, 2, 1, 24), {0xFF, 1, 2, 3})),
              (std::vector<uint8_t>{3, 2, 1, 3, 2, 1}));
    // A raw packet of 3 into a 2 x 1 image: the third pixel is dropped.
    EXPECT_EQ(Decoded(Joined(Header(10, 2, 1, 24), {0x02, 1, 1, 1, 2, 2, 2, 3, 3, 3})),
              (std::vector<uint8_t>{1, 1, 1, 2, 2, 2}));
    // A stream that stops after one pixel of four repeats that pixel.
    EXPECT_EQ(Decoded(Joined(Header(10, 4, 1, 24), {0x00, 7, 8, 9})),
              (std::vector<uint8_t>{9, 8, 7, 9, 8, 7, 9, 8, 7, 9, 8, 7}));
    // A raw packet whose pixels stop half way keeps what did arrive over the previous pixel.
    EXPECT_EQ(Decoded(Joined(Header(10, 2, 1, 24), {0x01, 7, 8, 9, 4})),
              (std::vector<uint8_t>{9, 8, 7, 9, 8, 4}));
}

TEST(TargaDecoding, RejectsEveryOtherKindOfFile) {
    std::vector<uint8_t> pixel = {1, 2, 3};
    EXPECT_TRUE(Decodes(Joined(Header(2, 1, 1, 24), pixel)));

    std::vector<uint8_t> withId = Joined(Header(2, 1, 1, 24), pixel);
    withId[0] = 1;
    EXPECT_FALSE(Decodes(withId)) << "image ID field";
    std::vector<uint8_t> withMap = Joined(Header(2, 1, 1, 24), pixel);
    withMap[1] = 1;
    EXPECT_FALSE(Decodes(withMap)) << "colour map";
    std::vector<uint8_t> withOrigin = Joined(Header(2, 1, 1, 24), pixel);
    withOrigin[8] = 4;
    EXPECT_FALSE(Decodes(withOrigin)) << "x-origin";
    EXPECT_FALSE(Decodes(Joined(Header(3, 1, 1, 24), pixel))) << "grey-scale";
    EXPECT_FALSE(Decodes(Joined(Header(1, 1, 1, 24), pixel))) << "colour-mapped";
    EXPECT_FALSE(Decodes(Joined(Header(2, 1, 1, 16), pixel))) << "16-bit";
    EXPECT_FALSE(Decodes(Joined(Header(2, 1, 1, 8), pixel))) << "8-bit";
    EXPECT_FALSE(Decodes(Joined(Header(2, 0, 1, 24), pixel))) << "zero width";
    EXPECT_FALSE(Decodes(Joined(Header(10, 1, 0, 24), pixel))) << "zero height";
    EXPECT_FALSE(Decodes(Joined(Header(2, 2, 1, 24), pixel))) << "short pixel data";
    EXPECT_FALSE(Decodes(Header(2, 1, 1, 24))) << "no pixel data";
    std::vector<uint8_t> shortHeader = Header(2, 1, 1, 24);
    shortHeader.pop_back();
    EXPECT_FALSE(Decodes(shortHeader)) << "short header";
    // Sides above 8192 are refused from the header alone; 65535 x 65535 x 4 would not even fit
    // in 32 bits.
    EXPECT_FALSE(Decodes(Joined(Header(10, 8193, 1, 24), {0xFF, 1, 2, 3})));
    EXPECT_FALSE(Decodes(Joined(Header(10, 65535, 65535, 32), {0xFF, 1, 2, 3, 4})));
    EXPECT_TRUE(Decodes(Joined(Header(10, 8192, 1, 24), {0xFF, 1, 2, 3})));
}

class TargaTexture : public ::testing::Test {
protected:
    void SetUp() override { RecordingGL::Install(); }
    void TearDown() override { RecordingGL::Uninstall(); }

    void WriteImage(const std::string& path, uint32_t width, uint32_t height) {
        assets.Write(path, EncodeTarga(Sample(width, height, 32), TargaForm::RunLength, false));
    }

    TempAssetRoot assets;
};

TEST_F(TargaTexture, LoadUploadsLevelZeroAndDropsThePixels) {
    assets.Write("textures/one.tga", Joined(Header(2, 2, 1, 24), {1, 2, 3, 4, 5, 6}));
    RecordingGL::KeepTextureBytes(true);
    Targa image;
    ASSERT_TRUE(image.Load("textures/one.tga", false));
    EXPECT_STREQ(image.name, "textures/one.tga");
    EXPECT_EQ(image.textureId, 1u);
    EXPECT_EQ(image.bitsPerPixel, 24u);
    EXPECT_EQ(image.byteSize, 6u);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(RecordingGL::CallNames(),
              (std::vector<std::string>{"glGenTextures", "glBindTexture", "glPixelStorei",
                                        "glTexImage2D"}));
    ASSERT_EQ(RecordingGL::TextureUploads().size(), 1u);
    const RecordingGL::TextureUpload& upload = RecordingGL::TextureUploads()[0];
    EXPECT_EQ(upload.internalFormat, 3);
    EXPECT_EQ(upload.format, static_cast<GLenum>(GL_RGB));
    EXPECT_EQ(upload.bytes, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
}

TEST_F(TargaTexture, PowerOfTwoSidesGetAFullChainAndOthersOnlyLevelZero) {
    struct Case {
        uint32_t width, height;
        size_t levels;
        bool mipmapped;
    };
    for (Case c : {Case{256, 256, 9, true}, Case{100, 100, 1, false}, Case{1, 1, 1, false},
                   Case{2, 8, 4, true}, Case{16, 2, 5, true}}) {
        std::string path = "textures/" + std::to_string(c.width) + "x" + std::to_string(c.height);
        WriteImage(path, c.width, c.height);
        RecordingGL::ClearCalls();
        Targa image;
        image.Load(path.c_str(), true);
        std::vector<RecordingGL::TextureUpload>& uploads = RecordingGL::TextureUploads();
        ASSERT_EQ(uploads.size(), c.levels) << path;
        EXPECT_EQ(image.mipmapped, c.mipmapped) << path;
        for (size_t level = 0; level < uploads.size(); ++level) {
            EXPECT_EQ(uploads[level].level, static_cast<GLint>(level));
        }
        EXPECT_EQ(uploads.back().width * uploads.back().height,
                  c.levels > 1 ? 1 : c.width * c.height)
            << "a chain ends at 1 x 1";

        RecordingGL::ClearCalls();
        image.Bind();
        std::vector<std::string> expected = {"glEnable", "glBindTexture", "glTexParameteri",
                                             c.mipmapped ? "glTexParameteri" : "glTexParameterf"};
        EXPECT_EQ(RecordingGL::CallNames(), expected) << path;
        EXPECT_EQ(RecordingGL::Calls()[3].args[2],
                  c.mipmapped ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
    }
}

TEST_F(TargaTexture, FailuresLeaveNoTextureAndDestructionDeletesOne) {
    Targa missing;
    EXPECT_FALSE(missing.Load("textures/none.tga", false));
    EXPECT_EQ(missing.textureId, NoTexture);

    std::string longPath = "textures/" + std::string(60, 'x') + ".tga";
    WriteImage(longPath, 2, 2);
    Targa tooLong;
    EXPECT_FALSE(tooLong.Load(longPath.c_str(), false)) << "a path longer than the name field";
    EXPECT_TRUE(RecordingGL::CallsTo("glGenTextures").empty());

    {
        WriteImage("textures/ok.tga", 2, 2);
        Targa image;
        ASSERT_TRUE(image.Load("textures/ok.tga", false));
        RecordingGL::ClearCalls();
    }
    ASSERT_EQ(RecordingGL::CallsTo("glDeleteTextures").size(), 1u);
    EXPECT_EQ(RecordingGL::CallsTo("glDeleteTextures")[0].args[0], 1.0);
}

TEST(Mipmaps, EachTexelIsTheTruncatedMeanOfItsBlock) {
    // 2 x 2 RGB: channel sums 1+2+2+2 = 7 -> 1, 255 * 4 -> 255, 0+0+0+3 -> 0.
    std::vector<uint8_t> level = {1, 255, 0, 2, 255, 0, 2, 255, 0, 2, 255, 3};
    uint8_t next[3];
    HalveMipLevel(level.data(), 2, 2, 3, next);
    EXPECT_EQ(std::vector<uint8_t>(next, next + 3), (std::vector<uint8_t>{1, 255, 0}));
    // A column of 1 x 4 averages pairs of rows in place.
    std::vector<uint8_t> column = {10, 20, 31, 40};
    HalveMipLevel(column.data(), 1, 4, 1, column.data());
    EXPECT_EQ(column[0], 15);
    EXPECT_EQ(column[1], 35);
}
