#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "render/BundleFile.h"
#include "render/MultiTex.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempFolder.h"

namespace {

using Bytes = std::vector<uint8_t>;

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

class BundleTexture : public ::testing::Test {
protected:
    void SetUp() override { RecordingGL::Install(); }
    void TearDown() override { RecordingGL::Uninstall(); }

    TempAssetRoot assets;
};

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
