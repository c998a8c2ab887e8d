#include "settings/SettingsLocation.h"

#include <cstring>
#include <vector>

#include "app/AssetFiles.h"
#include "platform/System.h"
#include "settings/Repository.h"

namespace {

// The settings file's name without its folder: "bc.rep".
std::string SettingsBaseName() {
    const char* slash = std::strrchr(SettingsFileName, '/');
    return slash == nullptr ? SettingsFileName : slash + 1;
}

// The folder part of SettingsFileName below the asset root: "config".
std::string SettingsFolderName() {
    std::string name = SettingsFileName;
    return name.substr(0, name.size() - SettingsBaseName().size() - 1);
}

}  // namespace

bool SettingsFolderWritable(const std::string& configFolder) {
    // Where the folder really is, every link on the way followed: a game folder elsewhere may
    // lead into the system's tree through a link. A folder that does not resolve does not exist.
    std::string real = RealPath(configFolder);
    return !real.empty() && !InSystemProgramTree(real) && FolderRefusal(real) == 0;
}

std::string PerUserSettingsFile() {
    std::string folder = PlayerConfigFolder();
    if (folder.empty()) {
        return "";
    }
    return folder + "/" + PerUserSettingsFolder + "/" + SettingsBaseName();
}

SettingsLocation ChooseSettingsLocation() {
    std::string root = AssetRoot;
    SettingsLocation location;
    if (root.empty()) {
        return location;
    }
    if (SettingsFolderWritable(root + SettingsFolderName())) {
        location.file = root + SettingsFileName;
        return location;
    }
    location.file = PerUserSettingsFile();
    location.defaults = root + SettingsFileName;
    location.perUser = true;
    return location;
}

std::string WithHomeAsTilde(const std::string& text) {
    std::string home = HomeFolderShownAsTilde();
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    if (home.size() <= 1) {
        return text;
    }
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        bool pathStarts = at == 0 || text[at - 1] == ' ';
        size_t after = at + home.size();
        // The home folder's path ends where a reason goes on after a path: at a slash, at the
        // end, or at the colon or space that follows it.
        if (pathStarts && text.compare(at, home.size(), home) == 0 &&
            (after == text.size() || std::strchr("/: ", text[after]) != nullptr)) {
            out += '~';
            at = after;
        } else {
            out += text[at++];
        }
    }
    return out;
}

std::string NearestExistingFolder(const std::string& folder) {
    std::string existing = folder;
    for (std::string up = FolderOf(existing);
         KindOfPath(existing) == PathKind::Missing && up != existing; up = FolderOf(existing)) {
        existing = up;
    }
    return existing;
}

bool MakeSettingsFolders(const std::string& file, std::string& failure) {
    // From the nearest folder that exists down to the file's own: the folders above it may be
    // anything, a drive, a network share, a folder the player may not even look into.
    std::vector<std::string> missing;
    for (std::string folder = FolderOf(file); KindOfPath(folder) == PathKind::Missing;
         folder = FolderOf(folder)) {
        if (FolderOf(folder) == folder) {
            break;
        }
        missing.push_back(folder);
    }
    for (size_t i = missing.size(); i-- > 0;) {
        if (!MakePrivateFolder(missing[i], failure)) {
            return false;
        }
    }
    return true;
}
