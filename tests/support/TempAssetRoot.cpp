#include "tests/support/TempAssetRoot.h"

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/AssetFiles.h"

TempAssetRoot::TempAssetRoot() {
    char pattern[] = "/tmp/cataclysm-assets-XXXXXX";
    folder = mkdtemp(pattern);
    SetUpAssetRootFrom((folder + "/game").c_str());
}

TempAssetRoot::~TempAssetRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void TempAssetRoot::Write(const std::string& path, const std::vector<uint8_t>& bytes) const {
    std::filesystem::path full = std::filesystem::path(folder) / "base" / path;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void TempAssetRoot::Write(const std::string& path, const std::string& text) const {
    Write(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string TestExecutableFolder() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    path[length] = '\0';
    return std::filesystem::path(path).parent_path().string();
}

std::vector<uint8_t> ReadTestData(const std::string& name) {
    const char* folder = std::getenv("CATACLYSM_TEST_DATA");
    std::filesystem::path path =
        std::filesystem::path(folder != nullptr ? folder : CATACLYSM_TEST_DATA_DIR) / name;
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}
