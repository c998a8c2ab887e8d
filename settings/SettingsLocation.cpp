#include "settings/SettingsLocation.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "app/AssetFiles.h"
#include "settings/Repository.h"
#include "settings/SafeFileWrite.h"

namespace {

constexpr char SystemTree[] = "/usr/";

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

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && IsAbsolute(entry->pw_dir) ? entry->pw_dir : "";
}

}  // namespace

bool SettingsFolderWritable(const std::string& configFolder) {
    // Where the folder really is, every link on the way followed: a game folder elsewhere may
    // lead below /usr through a link. A folder that does not resolve does not exist.
    char* resolved = realpath(configFolder.c_str(), nullptr);
    if (resolved == nullptr) {
        return false;
    }
    std::string real = std::string(resolved) + "/";
    std::free(resolved);
    if (real.compare(0, sizeof SystemTree - 1, SystemTree) == 0) {
        return false;
    }
    return FileReplace.access(real.c_str(), W_OK | X_OK) == 0;
}

std::string PerUserSettingsFile() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (IsAbsolute(configHome)) {
        folder = configHome;
    } else {
        std::string home = HomeFolder();
        if (home.empty()) {
            return "";
        }
        folder = home + "/.config";
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
    std::string home = HomeFolder();
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

bool MakeSettingsFolders(const std::string& file, std::string& failure) {
    for (size_t slash = file.find('/', 1); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        std::string folder = file.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            failure = "cannot make the folder " + folder + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}
