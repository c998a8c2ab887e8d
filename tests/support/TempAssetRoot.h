#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A fresh asset root in a temporary folder for one test: the file opener points at it while
// the object lives, and the folder is removed afterwards.
class TempAssetRoot {
public:
    TempAssetRoot();
    ~TempAssetRoot();
    TempAssetRoot(const TempAssetRoot&) = delete;
    TempAssetRoot& operator=(const TempAssetRoot&) = delete;

    // Writes bytes to the relative asset path, making its folders.
    void Write(const std::string& path, const std::vector<uint8_t>& bytes) const;
    void Write(const std::string& path, const std::string& text) const;

    std::string folder;  // the temporary folder; the asset root is folder + "/base/"
};

// The folder of the running test executable, where the build put the forged assets (base/).
std::string TestExecutableFolder();

// The bytes of a file below tests/data/ (the folder CATACLYSM_TEST_DATA names, when set);
// empty when it cannot be read.
std::vector<uint8_t> ReadTestData(const std::string& name);
