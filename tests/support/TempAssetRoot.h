#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A fresh temporary folder that stands in for the folder of the executable: the asset root
// becomes its "base/" folder while the object lives. Everything in the folder is removed when
// the object goes.
class TempAssetRoot {
public:
    TempAssetRoot();
    ~TempAssetRoot();
    TempAssetRoot(const TempAssetRoot&) = delete;
    TempAssetRoot& operator=(const TempAssetRoot&) = delete;

    // Writes a file below the asset root, making its folders.
    void Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const;
    // The full path of a file below the asset root.
    std::string PathOf(const std::string& relativePath) const;
    // The temporary folder itself, for files that are not assets.
    const std::string& Folder() const { return folder; }

private:
    std::string folder;
};
