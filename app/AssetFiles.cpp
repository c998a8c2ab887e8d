#include "app/AssetFiles.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/System.h"

char AssetRoot[AssetPathCapacity];
uint16_t AssetRootLength = 0;
char AssetPath[AssetPathCapacity];
FileOpenHookFunction FileOpenHook = nullptr;

namespace {

constexpr char AssetFolder[] = "base/";
constexpr size_t AssetFolderLength = sizeof AssetFolder - 1;

}  // namespace

bool SetUpAssetRoot() {
    FileOpenHook = OpenAssetFile;
    std::string executable;
    return ExecutablePath(executable) && SetUpAssetRootFrom(executable.c_str());
}

bool SetUpAssetRootFrom(const char* executablePath) {
    FileOpenHook = OpenAssetFile;
    size_t length = std::strlen(executablePath);
    if (length > AssetPathCapacity) {
        return false;
    }
    const char* lastSeparator = std::strrchr(executablePath, '/');
    size_t folderLength = lastSeparator == nullptr ? 0 : lastSeparator - executablePath + 1;
    if (folderLength + AssetFolderLength + 1 > AssetPathCapacity) {
        return false;
    }
    std::memset(AssetRoot, 0, sizeof AssetRoot);
    std::memcpy(AssetRoot, executablePath, folderLength);
    std::memcpy(AssetRoot + folderLength, AssetFolder, AssetFolderLength);
    AssetRootLength = static_cast<uint16_t>(folderLength);
    return true;
}

bool BuildAssetPath(const char* name, char (&path)[AssetPathCapacity]) {
    size_t rootLength = strnlen(AssetRoot, sizeof AssetRoot);
    size_t nameLength = std::strlen(name);
    if (rootLength + nameLength + 1 > AssetPathCapacity) {
        return false;
    }
    std::memset(path, 0, sizeof path);
    std::memcpy(path, AssetRoot, rootLength);
    std::memcpy(path + rootLength, name, nameLength);
    return true;
}

void OpenAssetFile(const char* name, const char* mode, FILE** out) {
    *out = nullptr;
    if (!BuildAssetPath(name, AssetPath)) {
        errno = ENAMETOOLONG;
        return;
    }
    *out = OpenFile(AssetPath, mode);
}

bool ReadWholeStream(FILE* file, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // A regular file is read straight into a buffer of its size; the loop below takes whatever
    // is left, or a stream whose size is unknown.
    size_t size = 0;
    if (RegularFileSize(file, size) && size > 0) {
        bytes.resize(size);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    }
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return std::ferror(file) == 0;
}

bool ReadAssetFile(const char* name, std::vector<uint8_t>& bytes) {
    bytes.clear();
    FILE* file = nullptr;
    if (FileOpenHook == nullptr) {
        return false;
    }
    FileOpenHook(name, "rb", &file);
    if (file == nullptr) {
        return false;
    }
    bool read = ReadWholeStream(file, bytes);
    std::fclose(file);
    return read;
}
