#include "platform/System.h"

// Path text is the same on every system inside the game: UTF-8 with '/' between folders.
std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}
