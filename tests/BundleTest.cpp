#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "render/BundleFile.h"
#include "render/MultiTex.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempAssetRoot.h"

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// The descramble steps written out plainly, the rotation done bit by bit, to check the game's
// code against the format rather than against itself.
std::vector<uint8_t> ReferenceDescramble(std::vector<uint8_t> block, uint8_t first,
                                         uint8_t second) {
    size_t n = block.size();
    if (n < 2) {
        return block;
    }
    for (uint8_t& byte : block) {
        byte ^= first;
    }
    for (size_t i = 0; i + 1 < n; i += 2) {
        block[i + 1] ^= block[i];
    }
    for (long k = static_cast<long>(n) - 1; k >= 4; k -= 5) {
        block[k - 4] ^= block[k - 1];
    }
    for (size_t i = 0; i + 2 < n; i += 3) {
        block[i + 2] ^= block[i];
    }
    std::vector<int> bits;
    for (uint8_t byte : block) {
        for (int b = 7; b >= 0; --b) {
            bits.push_back((byte >> b) & 1);
        }
    }
    std::vector<int> turned(bits.size());
    for (size_t i = 0; i < bits.size(); ++i) {
        turned[(i + 2) % bits.size()] = bits[i];
    }
    for (size_t i = 0; i < n; ++i) {
        uint8_t byte = 0;
        for (int b = 0; b < 8; ++b) {
            byte = static_cast<uint8_t>((byte << 1) | turned[i * 8 + b]);
        }
        block[i] = byte ^ second;
    }
    return block;
}

// The masks are the game's secret; find them from what an all-zero block descrambles to.
void FindMasks(uint8_t& first, uint8_t& second) {
    for (int f = 0; f < 256; ++f) {
        for (int s = 0; s < 256; ++s) {
            std::vector<uint8_t> probe = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE};
            std::vector<uint8_t> game = probe;
            TransformBundleHeader(game.data(), game.size(), ScrambleDirection::Descramble);
            if (ReferenceDescramble(probe, static_cast<uint8_t>(f), static_cast<uint8_t>(s)) ==
                game) {
                first = static_cast<uint8_t>(f);
                second = static_cast<uint8_t>(s);
                return;
            }
        }
    }
    FAIL() << "no mask pair reproduces the descramble";
}

BundleContents SmallBundle(uint32_t width = 8, uint32_t height = 4, uint32_t components = 4) {
    BundleContents contents;
    contents.components = components;
    contents.width = width;
    contents.height = height;
    contents.entries = {{"Left.tga", 0, 0, 3, 3}, {"Right.tga", 4, 1, width - 1, height - 1}};
    contents.freeRects = {{2, 2, 5, 5, 1}};
    for (uint32_t i = 0; i < width * height; ++i) {
        for (uint32_t c = 0; c < components; ++c) {
            contents.pixels.push_back(static_cast<uint8_t>(i < width * height / 2 ? 7 : i + c));
        }
    }
    return contents;
}

// A bundle file written by hand from a descrambled header block and raw run bytes.
std::vector<uint8_t> HandBundle(std::vector<uint8_t> block, uint32_t pixelDataSize,
                                const std::vector<uint8_t>& runs) {
    TransformBundleHeader(block.data(), block.size(), ScrambleDirection::Scramble);
    std::vector<uint8_t> file;
    Put32(file, static_cast<uint32_t>(block.size()));
    file.insert(file.end(), block.begin(), block.end());
    Put32(file, pixelDataSize);
    file.insert(file.end(), runs.begin(), runs.end());
    return file;
}

std::vector<uint8_t> HeaderBlock(uint32_t components, uint32_t width, uint32_t height,
                                 uint32_t entryCount) {
    std::vector<uint8_t> block;
    Put32(block, components);
    block.push_back(0);
    Put32(block, width);
    Put32(block, height);
    Put32(block, entryCount);
    return block;
}

// One run covering a 2 x 2 RGB atlas.
std::vector<uint8_t> UniformRuns() {
    std::vector<uint8_t> runs;
    Put32(runs, 4);
    runs.insert(runs.end(), {9, 8, 7});
    return runs;
}

bool Parses(const std::vector<uint8_t>& file) {
    BundleContents contents;
    bool parsed = ParseBundle(file.data(), file.size(), contents);
    if (!parsed) {
        EXPECT_TRUE(contents.entries.empty() && contents.pixels.empty());
    }
    return parsed;
}

}  // namespace

TEST(BundleScramble, MatchesTheFormatAndTheWriterUndoesIt) {
    uint8_t first = 0, second = 0;
    FindMasks(first, second);
    std::mt19937 random(1234);
    for (size_t size = 0; size < 70; ++size) {
        std::vector<uint8_t> block(size);
        for (uint8_t& byte : block) {
            byte = static_cast<uint8_t>(random());
        }
        std::vector<uint8_t> game = block;
        TransformBundleHeader(game.data(), size, ScrambleDirection::Descramble);
        EXPECT_EQ(game, ReferenceDescramble(block, first, second)) << size;
        TransformBundleHeader(game.data(), size, ScrambleDirection::Scramble);
        EXPECT_EQ(game, block) << "scramble undoes descramble, size " << size;
        if (size >= 2) {
            EXPECT_NE(ReferenceDescramble(block, first, second), block);
        }
    }
    std::vector<uint8_t> one = {0x5A};
    TransformBundleHeader(one.data(), 1, ScrambleDirection::Descramble);
    EXPECT_EQ(one[0], 0x5A) << "a one-byte block stays as it is";
}

TEST(BundleFile, WrittenBundlesReadBackWhole) {
    for (uint32_t components : {3u, 4u}) {
        BundleContents written = SmallBundle(8, 4, components);
        written.mipmapped = components == 4;
        std::vector<uint8_t> file = WriteBundle(written);
        BundleContents read;
        ASSERT_TRUE(ParseBundle(file.data(), file.size(), read));
        EXPECT_EQ(read.components, components);
        EXPECT_EQ(read.mipmapped, written.mipmapped);
        EXPECT_EQ(read.width, 8u);
        EXPECT_EQ(read.pixels, written.pixels);
        ASSERT_EQ(read.entries.size(), 2u);
        EXPECT_EQ(read.entries[1].name, "Right.tga");
        EXPECT_EQ(read.entries[1].x1, 7u);
        ASSERT_EQ(read.freeRects.size(), 1u);
        EXPECT_EQ(read.freeRects[0].x, 5u);
        EXPECT_EQ(read.freeRects[0].available, 1);
    }
}

TEST(BundleFile, RejectsWhatTheFileCannotBack) {
    std::vector<uint8_t> noEntries = HeaderBlock(3, 2, 2, 0);
    Put32(noEntries, 0);
    ASSERT_TRUE(Parses(HandBundle(noEntries, 12, UniformRuns()))) << "the valid base case";

    std::vector<uint8_t> zeroHeader;
    Put32(zeroHeader, 0);
    EXPECT_FALSE(Parses(zeroHeader)) << "headerSize 0";
    std::vector<uint8_t> shortBlock;
    Put32(shortBlock, 1000);
    shortBlock.insert(shortBlock.end(), 10, 0);
    EXPECT_FALSE(Parses(shortBlock)) << "header block shorter than headerSize";

    std::vector<uint8_t> manyEntries = HeaderBlock(3, 2, 2, 0x40000000);
    Put32(manyEntries, 0);
    EXPECT_FALSE(Parses(HandBundle(manyEntries, 12, UniformRuns()))) << "entry count";

    std::vector<uint8_t> longName = HeaderBlock(3, 2, 2, 1);
    Put32(longName, 500);
    longName.insert(longName.end(), 20, 'a');
    EXPECT_FALSE(Parses(HandBundle(longName, 12, UniformRuns()))) << "name past the block";

    std::vector<uint8_t> outside = HeaderBlock(3, 2, 2, 1);
    Put32(outside, 1);
    outside.push_back('a');
    for (uint32_t value : {0u, 0u, 2u, 1u}) {
        Put32(outside, value);
    }
    Put32(outside, 0);
    EXPECT_FALSE(Parses(HandBundle(outside, 12, UniformRuns()))) << "x1 past the table";

    std::vector<uint8_t> manyFree = HeaderBlock(3, 2, 2, 0);
    Put32(manyFree, 2);
    manyFree.insert(manyFree.end(), 17, 0);
    EXPECT_FALSE(Parses(HandBundle(manyFree, 12, UniformRuns()))) << "free rectangle count";

    for (uint32_t side : {0u, 1u, 8193u}) {
        std::vector<uint8_t> block = HeaderBlock(3, side, 2, 0);
        Put32(block, 0);
        EXPECT_FALSE(Parses(HandBundle(block, 12, UniformRuns()))) << "width " << side;
    }
    std::vector<uint8_t> fiveComponents = HeaderBlock(5, 2, 2, 0);
    Put32(fiveComponents, 0);
    EXPECT_FALSE(Parses(HandBundle(fiveComponents, 20, UniformRuns())));

    EXPECT_FALSE(Parses(HandBundle(noEntries, 11, UniformRuns()))) << "pixelDataSize too small";
    std::vector<uint8_t> pastEnd;
    Put32(pastEnd, 5);
    pastEnd.insert(pastEnd.end(), {1, 2, 3});
    EXPECT_FALSE(Parses(HandBundle(noEntries, 12, pastEnd))) << "run past the last pixel";
    std::vector<uint8_t> early;
    Put32(early, 3);
    early.insert(early.end(), {1, 2, 3});
    EXPECT_FALSE(Parses(HandBundle(noEntries, 12, early))) << "runs end early";
    std::vector<uint8_t> cutPixel = UniformRuns();
    cutPixel.pop_back();
    EXPECT_FALSE(Parses(HandBundle(noEntries, 12, cutPixel))) << "run pixel cut off";
}

TEST(BundlePacking, PicturesLandWhereTheirEntriesSayWithRepeatedEdges) {
    std::vector<BundlePicture> pictures;
    uint8_t shade = 10;
    for (auto [width, height] : {std::pair{30u, 10u}, {12u, 40u}, {20u, 20u}, {5u, 5u}}) {
        BundlePicture picture;
        picture.name = "P" + std::to_string(shade) + ".tga";
        picture.width = width;
        picture.height = height;
        picture.components = 3;
        picture.pixels.assign(width * height * 3, shade);
        picture.pixels[0] = 200;  // the bottom-left pixel is marked
        pictures.push_back(picture);
        shade = static_cast<uint8_t>(shade + 10);
    }
    BundleContents atlas;
    std::string error;
    ASSERT_TRUE(PackBundle(pictures, 64, 64, false, atlas, error)) << error;
    ASSERT_EQ(atlas.entries.size(), pictures.size());
    auto pixelAt = [&](uint32_t x, uint32_t y) { return atlas.pixels.data() + (y * 64 + x) * 4; };
    for (size_t i = 0; i < pictures.size(); ++i) {
        const BundleEntry& entry = atlas.entries[i];
        EXPECT_EQ(entry.name, pictures[i].name) << "entries keep the order given";
        EXPECT_EQ(entry.x1 - entry.x0, pictures[i].width);
        EXPECT_EQ(entry.y1 - entry.y0, pictures[i].height);
        EXPECT_LT(entry.x1, 63u) << "the last table entry is never a picture edge";
        EXPECT_LT(entry.y1, 63u);
        EXPECT_EQ(pixelAt(entry.x0, entry.y0)[0], 200);
        EXPECT_EQ(pixelAt(entry.x0 - 1, entry.y0 - 1)[0], 200) << "the corner is repeated";
        EXPECT_EQ(pixelAt(entry.x1 - 1, entry.y1 - 1)[0], pictures[i].pixels[3]);
        EXPECT_EQ(pixelAt(entry.x1, entry.y1)[0], pictures[i].pixels[3]);
        EXPECT_EQ(pixelAt(entry.x1, entry.y1)[3], 255) << "RGB pictures become opaque";
        for (size_t j = 0; j < i; ++j) {
            const BundleEntry& other = atlas.entries[j];
            bool apart = entry.x1 <= other.x0 || other.x1 <= entry.x0 || entry.y1 <= other.y0 ||
                         other.y1 <= entry.y0;
            EXPECT_TRUE(apart) << entry.name << " overlaps " << other.name;
        }
        for (const FreeRect& rect : atlas.freeRects) {
            bool apart = entry.x1 <= rect.x || rect.x + rect.width <= entry.x0 ||
                         entry.y1 <= rect.y || rect.y + rect.height <= entry.y0;
            EXPECT_TRUE(apart) << "free space over " << entry.name;
        }
    }
    pictures.push_back(BundlePicture{"Huge.tga", 80, 10, 3, std::vector<uint8_t>(2400, 1)});
    EXPECT_FALSE(PackBundle(pictures, 64, 64, false, atlas, error));
    EXPECT_NE(error.find("Huge.tga"), std::string::npos);
}

class BundleTexture : public ::testing::Test {
protected:
    void SetUp() override { RecordingGL::Install(); }
    void TearDown() override { RecordingGL::Uninstall(); }

    TempAssetRoot assets;
};

TEST_F(BundleTexture, ANewBundleIsAnEmptyMagentaAtlas) {
    MultiTex bundle;
    EXPECT_EQ(bundle.width, 1024u);
    EXPECT_EQ(bundle.components, 4u);
    EXPECT_EQ(bundle.textureId, 0u);
    ASSERT_EQ(bundle.pixels.size(), 1024u * 1024 * 4);
    EXPECT_EQ(std::vector<uint8_t>(bundle.pixels.end() - 4, bundle.pixels.end()),
              (std::vector<uint8_t>{255, 0, 255, 0}));
    ASSERT_EQ(bundle.freeRects.size(), 1u);
    EXPECT_EQ(bundle.freeRects[0].width, 1024u);
    EXPECT_TRUE(bundle.entries.empty());
    EXPECT_TRUE(RecordingGL::Calls().empty());
}

TEST_F(BundleTexture, FindPullsEdgesInAndTheLastEntryReachesTheFarEdge) {
    BundleContents contents = SmallBundle(1024, 4, 3);
    contents.entries = {
        {"Wide.tga", 0, 0, 1023, 2}, {"Wide.tga", 5, 0, 6, 1}, {"Mid.tga", 256, 1, 512, 3}};
    assets.Write("tbundles/test.qtb", WriteBundle(contents));
    MultiTex bundle;
    ASSERT_TRUE(bundle.Load("tbundles/test.qtb", false));
    float place[4] = {};
    ASSERT_TRUE(bundle.Find("Wide.tga", place)) << "the first of two equal names wins";
    EXPECT_FLOAT_EQ(place[0], 1.0f / 1024);
    EXPECT_FLOAT_EQ(place[1], 0.0f + 1.0f / 1024);
    EXPECT_FLOAT_EQ(place[2], 1.0f - 1.0f / 1024) << "table entry 1023 is 1.0";
    EXPECT_FLOAT_EQ(place[3], 0.5f - 1.0f / 1024);
    ASSERT_TRUE(bundle.Find("Mid.tga", place));
    EXPECT_FLOAT_EQ(place[0], 0.25f + 1.0f / 1024);
    EXPECT_FLOAT_EQ(place[2], 0.5f - 1.0f / 1024);
    EXPECT_FLOAT_EQ(place[3], 1.0f - 1.0f / 1024) << "row 3 of 4 is the last entry";

    float untouched[4] = {7, 7, 7, 7};
    EXPECT_FALSE(bundle.Find("wide.tga", untouched)) << "names compare with case";
    EXPECT_FALSE(bundle.Find("Wide", untouched));
    EXPECT_FALSE(bundle.Find(nullptr, untouched));
    EXPECT_EQ(untouched[0], 7.0f);
}

TEST_F(BundleTexture, LoadReplacesTheTextureAndAFailureEmptiesTheBundle) {
    BundleContents uniform = SmallBundle(4, 4, 3);
    uniform.pixels.assign(4 * 4 * 3, 0);
    for (size_t i = 0; i < uniform.pixels.size(); i += 3) {
        uniform.pixels[i] = 40;
    }
    uniform.mipmapped = true;
    uniform.entries = {{"Left.tga", 0, 0, 3, 3}};
    std::vector<uint8_t> file = WriteBundle(uniform);
    EXPECT_EQ(file.size(), 4 + file[0] + 4 + 4 + 3u) << "one run for a uniform atlas";
    assets.Write("tbundles/a.qtb", file);

    MultiTex bundle;
    ASSERT_TRUE(bundle.Load("tbundles/a.qtb", false));
    EXPECT_EQ(bundle.pixels, uniform.pixels) << "pixels stay after the upload";
    EXPECT_EQ(RecordingGL::CallsTo("glTexImage2D").size(), 3u) << "4 x 4 gets levels 0 to 2";
    ASSERT_TRUE(bundle.Load("tbundles/a.qtb", false));
    std::vector<RecordedCall> deletes = RecordingGL::CallsTo("glDeleteTextures");
    ASSERT_EQ(deletes.size(), 2u);
    EXPECT_EQ(bundle.textureId, 2u) << "the second load made a new texture";

    assets.Write("tbundles/bad.qtb", std::vector<uint8_t>(file.begin(), file.end() - 1));
    EXPECT_FALSE(bundle.Load("tbundles/bad.qtb", false));
    EXPECT_TRUE(bundle.entries.empty());
    EXPECT_TRUE(bundle.pixels.empty());
    float place[4];
    EXPECT_FALSE(bundle.Find("Left.tga", place));
    EXPECT_FALSE(bundle.Load("tbundles/missing.qtb", false));
    EXPECT_FALSE(bundle.Load(nullptr, false));
}
