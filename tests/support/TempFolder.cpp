#include "tests/support/TempFolder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "app/AssetFiles.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

}  // namespace

TempFolder::TempFolder() {
    char pattern[] = "/tmp/cataclysm-test-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

void TempFolder::Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const {
    fs::path full = fs::path(path) / relativePath;
    fs::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + full.string());
    }
}

std::vector<uint8_t> TempFolder::Read(const std::string& relativePath) const {
    return ReadWhole(fs::path(path) / relativePath);
}

void TempFolder::Remove(const std::string& relativePath) const {
    std::error_code ignored;
    fs::remove_all(fs::path(path) / relativePath, ignored);
}

std::vector<std::string> TempFolder::List(const std::string& relativeFolder) const {
    std::vector<std::string> names;
    std::error_code missing;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(path) / relativeFolder, missing)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TempAssetRoot::TempAssetRoot() {
    SetUpAssetRootFrom((Path() + "/game").c_str());
    fs::create_directories(fs::path(Path()) / "base" / "config");
}

void TempAssetRoot::Write(const std::string& path, const std::vector<uint8_t>& bytes) const {
    TempFolder::Write("base/" + path, bytes);
}

void TempAssetRoot::Write(const std::string& path, const std::string& text) const {
    Write(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<std::string>& OpenedAssets() {
    static std::vector<std::string> opened;
    return opened;
}

void RecordOpenedAssets() {
    OpenedAssets().clear();
    FileOpenHook = [](const char* name, const char* mode, FILE** out) {
        OpenedAssets().push_back(name);
        OpenAssetFile(name, mode, out);
    };
}

std::string TestExecutableFolder() {
    std::error_code unreadable;
    fs::path executable = fs::read_symlink("/proc/self/exe", unreadable);
    return unreadable ? "." : executable.parent_path().string();
}

std::vector<uint8_t> ReadTestData(const std::string& name) {
    const char* folder = std::getenv("CATACLYSM_TEST_DATA");
    return ReadWhole(fs::path(folder != nullptr ? folder : CATACLYSM_TEST_DATA_DIR) / name);
}
