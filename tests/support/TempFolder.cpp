#include "tests/support/TempFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "app/AssetFiles.h"
#include "platform/System.h"
#include "tests/support/TestSystem.h"

namespace fs = std::filesystem;

namespace {

// A path as the game writes it (UTF-8, '/' between folders) as the system takes it.
fs::path SystemPath(const std::string& path) {
    return fs::u8path(path);
}

std::vector<uint8_t> ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

}  // namespace

// A name no other folder there has, taken in one step: create_directory fails for a name that
// another test, or another run of the tests, took first.
TempFolder::TempFolder() {
    std::error_code failed;
    const fs::path temporary = fs::temp_directory_path(failed);
    static std::mt19937_64 names{std::random_device{}()};
    for (int attempt = 0; attempt < 100 && !failed; ++attempt) {
        const fs::path folder =
            temporary / ("cataclysm-test-" + std::to_string(names() % 1000000000));
        if (fs::create_directory(folder, failed)) {
            path = folder.generic_u8string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder: " + failed.message());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(SystemPath(path), ignored);
}

void TempFolder::Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const {
    fs::path full = SystemPath(path + "/" + relativePath);
    fs::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + full.generic_u8string());
    }
}

std::vector<uint8_t> TempFolder::Read(const std::string& relativePath) const {
    return ReadWhole(SystemPath(path + "/" + relativePath));
}

void TempFolder::Remove(const std::string& relativePath) const {
    std::error_code ignored;
    fs::remove_all(SystemPath(path + "/" + relativePath), ignored);
}

std::vector<std::string> TempFolder::List(const std::string& relativeFolder) const {
    std::vector<std::string> names;
    std::error_code missing;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(SystemPath(path + "/" + relativeFolder), missing)) {
        names.push_back(entry.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TempAssetRoot::TempAssetRoot() {
    SetUpAssetRootFrom((Path() + "/game").c_str());
    fs::create_directories(SystemPath(Path() + "/base/config"));
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
    std::string executable;
    return ExecutablePath(executable) ? FolderOf(executable) : ".";
}

std::vector<uint8_t> ReadTestData(const std::string& name) {
    const std::string folder =
        ReadEnvironment("CATACLYSM_TEST_DATA").value_or(CATACLYSM_TEST_DATA_DIR);
    return ReadWhole(SystemPath(folder + "/" + name));
}
