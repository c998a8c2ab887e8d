// cataclysm-forge ASSET_ROOT INPUT_ROOT: runs every registered step, which writes the game's
// pictures, sounds and default files below ASSET_ROOT.
#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/forge/ForgeStep.h"

namespace {

struct NamedStep {
    const char* name;
    ForgeStepFunction function;
};

std::vector<NamedStep>& Steps() {
    static std::vector<NamedStep> steps;
    return steps;
}

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
            std::fprintf(stderr, "cataclysm-forge: cannot make folder %s: %s\n", folder.c_str(),
                         std::strerror(errno));
            return false;
        }
    }
    return true;
}

}  // namespace

ForgeStepRegistration::ForgeStepRegistration(const char* name, ForgeStepFunction function) {
    Steps().push_back({name, function});
}

bool WriteForgedFile(const ForgeContext& context, const std::string& relativePath,
                     const void* bytes, size_t size) {
    std::string path = context.assetRoot + "/" + relativePath;
    if (!MakeFolders(path)) {
        return false;
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "cataclysm-forge: cannot write %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    bool written = std::fwrite(bytes, 1, size, file) == size;
    written = (std::fclose(file) == 0) && written;
    if (!written) {
        std::fprintf(stderr, "cataclysm-forge: failed writing %s\n", path.c_str());
    }
    return written;
}

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr,
                     "usage: cataclysm-forge ASSET_ROOT INPUT_ROOT\n"
                     "Makes every picture, sound and default file of the game.\n");
        return argc == 2 ? 0 : 2;
    }
    ForgeContext context{argv[1], argv[2]};
    if (!MakeFolders(context.assetRoot + "/")) {
        return 1;
    }
    for (const NamedStep& step : Steps()) {
        if (!step.function(context)) {
            std::fprintf(stderr, "cataclysm-forge: step '%s' failed\n", step.name);
            return 1;
        }
    }
    return 0;
}
