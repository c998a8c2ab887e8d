// The game on Linux and other POSIX systems.
#include "platform/System.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/posix/FileReplace.h"

const char* const GLLibraryName = "libGL.so.1";
const char* const ALLibraryName = "libopenal.so.1";
const char* const PerUserSettingsFolder = "brindles-cataclysm";

namespace {

// The tree of the package manager, which a system-wide install lives in.
constexpr char SystemProgramTree[] = "/usr/";

bool IsAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

// $HOME, or the password database's entry when that is unset or not an absolute path.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) {
        return home;
    }
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && IsAbsolute(entry->pw_dir) ? entry->pw_dir : "";
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool ExecutablePath(std::string& path) {
    char executable[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", executable, sizeof executable);
    // A full buffer may mean a cut path: refuse it rather than guess.
    if (length <= 0 || static_cast<size_t>(length) >= sizeof executable) {
        return false;
    }
    path.assign(executable, static_cast<size_t>(length));
    return true;
}

FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

bool RegularFileSize(FILE* file, size_t& size) {
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        return false;
    }
    size = static_cast<size_t>(status.st_size);
    return true;
}

PathKind KindOfPath(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        return PathKind::Missing;
    }
    return S_ISDIR(status.st_mode) ? PathKind::Folder : PathKind::Other;
}

std::string RealPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return "";
    }
    std::string real = resolved;
    std::free(resolved);
    return real;
}

int FolderRefusal(const std::string& folder) {
    return FileReplace.access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

bool InSystemProgramTree(const std::string& realFolder) {
    return (realFolder + "/").compare(0, sizeof SystemProgramTree - 1, SystemProgramTree) == 0;
}

bool MakePrivateFolder(const std::string& folder, std::string& failure) {
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        failure = "cannot make the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// $XDG_CONFIG_HOME, or ~/.config when the variable is unset or not an absolute path.
std::string PlayerConfigFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(configHome)) {
        return configHome;
    }
    std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.config";
}

std::string HomeFolderShownAsTilde() {
    return HomeFolder();
}
