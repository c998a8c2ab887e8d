#include <gtest/gtest.h>

#include <string>

#include "app/AssetFiles.h"
#include "render/AssetCatalogue.h"
#include "render/MenuPictures.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempFolder.h"

namespace {

// Every test starts with nothing loaded and leaves nothing loaded.
class AssetCatalogue : public ::testing::Test {
protected:
    void SetUp() override { RecordingGL::Install(); }
    void TearDown() override {
        ReleaseAssetCatalogue();
        RecordingGL::Uninstall();
    }
    KeptSettings kept;
};

}  // namespace

TEST_F(AssetCatalogue, WithoutGlslTheShaderTexturesAreNeverTouched) {
    TempAssetRoot empty;
    GlslEnabled = false;
    testing::internal::CaptureStderr();
    LoadAssetCatalogue();
    std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(report,
              "brindles-cataclysm: cannot load the menu pictures tbundles/menu/menu1.qtb\n"
              "brindles-cataclysm: cannot load the menu pictures tbundles/menu/menu2.qtb\n");

    for (const CatalogueTexture& row : CatalogueTextures) {
        if (row.glslOnly) {
            EXPECT_EQ(*row.handle, nullptr) << row.path;
        } else {
            ASSERT_NE(*row.handle, nullptr) << row.path;
            EXPECT_EQ((*row.handle)->textureId, NoTexture) << "missing files leave empty textures";
        }
    }
    ASSERT_NE(MenuRegions, nullptr);
    EXPECT_EQ(MenuRegion(MenuPicture::Header).corners[2], 0.0f) << "missing pictures are zero";

    ReleaseAssetCatalogue();
    ReleaseAssetCatalogue();  // a second release is harmless
    for (const CatalogueTexture& row : CatalogueTextures) {
        EXPECT_EQ(*row.handle, nullptr) << row.path;
    }
    EXPECT_TRUE(MenuRegions == nullptr && MenuBundles[0] == nullptr && MenuBundles[1] == nullptr);
}

TEST_F(AssetCatalogue, TheForgedFilesAllLoadWithTheirMipmapsAndMenuPictures) {
    SetUpAssetRootFrom((TestExecutableFolder() + "/tests").c_str());
    GlslEnabled = true;
    testing::internal::CaptureStderr();
    LoadAssetCatalogue();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "every menu picture is found";

    for (const CatalogueTexture& row : CatalogueTextures) {
        ASSERT_NE(*row.handle, nullptr) << row.path;
        const Targa& texture = **row.handle;
        EXPECT_NE(texture.textureId, NoTexture) << row.path << " did not load";
        EXPECT_EQ(texture.mipmapped, row.mipmapped) << row.path;
    }
    for (int i = 0; i < MenuPictureCount; ++i) {
        const TextureRegion& region = MenuRegions[i];
        const char* name = MenuPictureSources[i].entryName;
        EXPECT_EQ(region.bundle, MenuBundles[MenuPictureSources[i].bundle]) << name;
        float left = region.corners[0], top = region.corners[1];
        float right = region.corners[6], bottom = region.corners[7];
        EXPECT_TRUE(0 < left && left < right && bottom < top && top < 1) << name;
        EXPECT_EQ(region.corners[2], right) << "top-right shares the right edge";
        EXPECT_EQ(region.corners[5], bottom) << "bottom-left shares the bottom edge";
    }
}
