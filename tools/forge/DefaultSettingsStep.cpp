// The settings file a fresh build starts with. It is written only where none exists, so a
// rebuild never resets a player's high score or options.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "settings/Repository.h"
#include "settings/Settings.h"
#include "tools/forge/ForgeStep.h"

namespace {

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
    std::vector<uint8_t> bytes = FreshSettingsFile(0);
    return WriteForgedFile(context, SettingsFileName, bytes.data(), bytes.size());
}

}  // namespace

FORGE_STEP("default settings", ForgeDefaultSettings);
