#include "platform/System.h"

// Path text is the same on every system inside the game: UTF-8 with '/' between folders.
std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    // The root stays a root: "/" on POSIX, "C:/" on Windows.
    if (slash == 0 || (slash == 2 && path[1] == ':')) {
        return path.substr(0, slash + 1);
    }
    return path.substr(0, slash);
}
