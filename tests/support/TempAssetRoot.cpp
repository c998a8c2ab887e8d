#include "tests/support/TempAssetRoot.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/AssetFiles.h"

TempAssetRoot::TempAssetRoot() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "cataclysm-test-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) != nullptr) {
        folder = name.data();
    }
    std::filesystem::create_directories(folder + "/base");
    SetUpAssetRootFrom((folder + "/test-program").c_str());
}

TempAssetRoot::~TempAssetRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string TempAssetRoot::PathOf(const std::string& relativePath) const {
    return folder + "/base/" + relativePath;
}

void TempAssetRoot::Write(const std::string& relativePath,
                          const std::vector<uint8_t>& bytes) const {
    std::filesystem::path path = PathOf(relativePath);
    std::filesystem::create_directories(path.parent_path());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        if (!bytes.empty()) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
        }
        std::fclose(file);
    }
}
