#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A fresh folder under /tmp for one test, removed with everything in it when the test ends.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path; }

    // Writes a file below the folder, making the folders on its way.
    void Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const;

    // Reads a file below the folder; empty when it is missing.
    std::vector<uint8_t> Read(const std::string& relativePath) const;

    // Removes a file or a folder below this one with everything in it.
    void Remove(const std::string& relativePath) const;

    // The names in a folder below this one, sorted.
    std::vector<std::string> List(const std::string& relativeFolder) const;

private:
    std::string path;
};
