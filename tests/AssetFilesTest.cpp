#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "tests/support/TempFolder.h"

// The root is the executable's folder plus base/. Reading files below it is every scenario's
// first step, and a missing file is the catalogue test's; these are the odd cases.
TEST(AssetFiles, TheRootIsTheExecutableFolderPlusBaseAndAFolderIsNoFile) {
    TempAssetRoot assets;
    assets.Write("textures/frame1.tga", std::string("pixels"));
    ASSERT_TRUE(SetUpAssetRootFrom("/game"));
    EXPECT_EQ(std::string(AssetRoot), "/base/") << "an executable at the root of the tree";
    ASSERT_TRUE(SetUpAssetRootFrom("game"));
    EXPECT_EQ(std::string(AssetRoot), "base/") << "a bare name has no folder part";

    ASSERT_TRUE(SetUpAssetRootFrom((assets.Path() + "/brindles-cataclysm").c_str()));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadAssetFile("textures/frame1.tga", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "pixels");
    EXPECT_FALSE(ReadAssetFile("textures", bytes)) << "a folder is not a file";
    EXPECT_TRUE(bytes.empty());
}

TEST(AssetPaths, PathsThatDoNotFitAreRefusedNotCut) {
    std::string longFolder = "/" + std::string(AssetPathCapacity - 6, 'a') + "/";
    // folder + "base/" + terminating zero is exactly one byte too many.
    EXPECT_FALSE(SetUpAssetRootFrom((longFolder + "game").c_str()));
    std::string fitting = "/" + std::string(AssetPathCapacity - 8, 'a') + "/";
    ASSERT_TRUE(SetUpAssetRootFrom((fitting + "game").c_str()));
    EXPECT_EQ(std::strlen(AssetRoot), AssetPathCapacity - 1);

    ASSERT_TRUE(SetUpAssetRootFrom("/tmp/game"));
    std::string name(AssetPathCapacity - std::strlen(AssetRoot), 'n');  // one byte too long
    FILE* file = reinterpret_cast<FILE*>(1);
    std::memset(AssetPath, 'x', sizeof AssetPath);
    OpenAssetFile(name.c_str(), "rb", &file);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(AssetPath[0], 'x') << "nothing written for a path that does not fit";

    std::string tooLong(AssetPathCapacity + 1, 'p');
    EXPECT_FALSE(SetUpAssetRootFrom(tooLong.c_str()));
}
