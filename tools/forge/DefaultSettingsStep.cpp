// The settings file a fresh build starts with. It is written only where none exists, so a
// rebuild never resets a player's high score or options.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "settings/Repository.h"
#include "tools/forge/ForgeStep.h"

namespace {

struct DefaultSetting {
    const char* key;
    int32_t value;
};

constexpr DefaultSetting DefaultSettings[] = {
    {"ScreenWidth", 1024}, {"ScreenHeight", 768}, {"ColorDepth", 32}, {"Brightness", 0},
    {"GLSL", 1},           {"Sound", 1},          {"HighScore", 0},
};

bool ForgeDefaultSettings(const ForgeContext& context) {
    std::string path = context.assetRoot + "/" + SettingsFileName;
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0) {
        return true;
    }
    if (errno != ENOENT) {
        std::fprintf(stderr, "cataclysm-forge: cannot look at %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    // Entries are written newest first: adding the keys from the last one keeps the file in
    // the order of the table.
    Repository repository;
    for (size_t i = std::size(DefaultSettings); i-- > 0;) {
        repository.SetOrAddInt(DefaultSettings[i].key, DefaultSettings[i].value);
    }
    std::vector<uint8_t> bytes = repository.Encode();
    return WriteForgedFile(context, SettingsFileName, bytes.data(), bytes.size());
}

}  // namespace

FORGE_STEP("default settings", ForgeDefaultSettings);
