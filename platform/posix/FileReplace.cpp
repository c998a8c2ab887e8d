#include "platform/posix/FileReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/System.h"

namespace {

constexpr FileReplaceCalls RealFileReplace{mkstemp, write, std::rename, access};

// The temporary file of a save is the file's name, ".tmp-" and the six characters mkstemp picks.
const char TemporarySuffix[] = ".tmp-";
constexpr size_t TemporaryNameLength = 6;

// A temporary file younger than this may belong to a save still under way in another copy of
// the game; an older one was left by a save that was killed before its rename.
constexpr time_t AbandonedTemporaryAge = 60;

std::string Reason(int error) {
    return std::strerror(error);
}

// Writes every byte, going on after short writes and interruptions.
bool WriteAll(int descriptor, const uint8_t* bytes, size_t size) {
    while (size > 0) {
        ssize_t written = FileReplace.write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC;
            }
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Makes the rename itself durable. Some file systems refuse to flush a folder; the new file is
// in place either way, so that is not a failure of the save.
void FlushFolder(const std::string& folder) {
    int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

// How many symbolic links in a row are followed before the path counts as a loop: the
// system's own limit, so that a file the load could open through its links is also one the
// save can replace.
constexpr int MaxLinksFollowed = 40;

// The path that path finally names once every symbolic link at its end is followed; a relative
// link leads from the link's own folder. A link to a file that does not exist yet leads to
// that file, which the save then makes. The path the last allowed link reaches is still looked
// at: only a link there is one too many.
bool FollowLinks(const std::string& path, std::string& target, std::string& failure) {
    target = path;
    for (int followed = 0; followed <= MaxLinksFollowed; ++followed) {
        struct stat status;
        if (lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return true;
        }
        if (followed == MaxLinksFollowed) {
            break;
        }
        char link[PATH_MAX];
        ssize_t length = readlink(target.c_str(), link, sizeof link);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof link) {
            failure = "cannot follow the link " + target + ": " +
                      Reason(length < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        std::string next(link, static_cast<size_t>(length));
        target = next[0] == '/' ? next : FolderOf(target) + "/" + next;
    }
    failure = "cannot follow the links of " + path + ": " + Reason(ELOOP);
    return false;
}

// Removes the temporary files that killed saves of path left beside it.
void RemoveAbandonedTemporaries(const std::string& path) {
    std::string folder = FolderOf(path);
    size_t slash = path.rfind('/');
    std::string prefix =
        (slash == std::string::npos ? path : path.substr(slash + 1)) + TemporarySuffix;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        return;
    }
    time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name.size() != prefix.size() + TemporaryNameLength ||
            name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        std::string temporary = folder + "/" + name;
        struct stat status;
        if (lstat(temporary.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            status.st_mtime < now - AbandonedTemporaryAge) {
            unlink(temporary.c_str());
        }
    }
    closedir(listing);
}

}  // namespace

FileReplaceCalls FileReplace = RealFileReplace;

void UseRealFileReplace() {
    FileReplace = RealFileReplace;
}

bool ReplaceFileSafely(const std::string& linkOrFile, const uint8_t* bytes, size_t size,
                       std::string& failure) {
    std::string path;
    if (!FollowLinks(linkOrFile, path, failure)) {
        return false;
    }
    std::string patternText = path + TemporarySuffix + std::string(TemporaryNameLength, 'X');
    std::vector<char> pattern(patternText.begin(), patternText.end());
    pattern.push_back('\0');
    int descriptor = FileReplace.makeTemporary(pattern.data());
    if (descriptor < 0) {
        failure = "cannot create a file beside " + path + ": " + Reason(errno);
        return false;
    }
    std::string temporary = pattern.data();

    struct stat old;
    mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 0777) : 0644;
    bool written = WriteAll(descriptor, bytes, size) && fchmod(descriptor, mode) == 0 &&
                   fsync(descriptor) == 0;
    int error = errno;
    if (close(descriptor) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        failure = "cannot write " + temporary + ": " + Reason(error);
        return false;
    }
    if (FileReplace.rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        unlink(temporary.c_str());
        failure = "cannot replace " + path + ": " + Reason(error);
        return false;
    }
    FlushFolder(FolderOf(path));
    RemoveAbandonedTemporaries(path);
    return true;
}
