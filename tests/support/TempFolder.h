#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A fresh folder in the system's temporary folder for one test, removed with everything in it
// when the test ends. Its path is written as the game writes paths (UTF-8, '/' between folders);
// the paths the methods take are relative to it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path; }

    // Writes a file, making the folders on its way.
    void Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const;
    // The bytes of a file; empty when it is missing.
    std::vector<uint8_t> Read(const std::string& relativePath) const;
    // Removes a file, or a folder with everything in it.
    void Remove(const std::string& relativePath) const;
    // The names in a folder, sorted.
    std::vector<std::string> List(const std::string& relativeFolder) const;

private:
    std::string path;
};

// A temporary folder that is the asset root while it lives: the file opener reads below its
// base/ folder, which holds an empty config/ folder for the settings file.
class TempAssetRoot : public TempFolder {
public:
    TempAssetRoot();

    // Writes an asset at its path below base/.
    void Write(const std::string& path, const std::vector<uint8_t>& bytes) const;
    void Write(const std::string& path, const std::string& text) const;
};

// From now on the file opener records the path of every asset it is asked for, in
// OpenedAssets, and then opens it as the game does. Forgets the paths recorded so far.
void RecordOpenedAssets();
std::vector<std::string>& OpenedAssets();

// The folder of the running test executable, where the build put the forged assets (base/).
std::string TestExecutableFolder();

// The bytes of a file below tests/data/ (the folder CATACLYSM_TEST_DATA names, when set);
// empty when it cannot be read.
std::vector<uint8_t> ReadTestData(const std::string& name);
