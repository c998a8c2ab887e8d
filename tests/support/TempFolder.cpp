#include "tests/support/TempFolder.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

int RemoveOne(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
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
    nftw(path.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

void TempFolder::Remove(const std::string& relativePath) const {
    nftw((path + "/" + relativePath).c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}

void TempFolder::Write(const std::string& relativePath, const std::vector<uint8_t>& bytes) const {
    std::string full = path + "/" + relativePath;
    for (size_t slash = full.find('/', path.size() + 1); slash != std::string::npos;
         slash = full.find('/', slash + 1)) {
        mkdir(full.substr(0, slash).c_str(), 0755);
    }
    FILE* file = std::fopen(full.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + full);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::vector<uint8_t> TempFolder::Read(const std::string& relativePath) const {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen((path + "/" + relativePath).c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        bytes.push_back(static_cast<uint8_t>(c));
    }
    std::fclose(file);
    return bytes;
}

std::vector<std::string> TempFolder::List(const std::string& relativeFolder) const {
    std::vector<std::string> names;
    DIR* folder = opendir((path + "/" + relativeFolder).c_str());
    if (folder == nullptr) {
        return names;
    }
    while (dirent* item = readdir(folder)) {
        std::string name = item->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}
