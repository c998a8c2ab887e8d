#include "settings/SafeFileWrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr FileReplaceCalls RealFileReplace{mkstemp, write, std::rename};

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

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
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

}  // namespace

FileReplaceCalls FileReplace = RealFileReplace;

void UseRealFileReplace() {
    FileReplace = RealFileReplace;
}

bool ReplaceFileSafely(const std::string& path, const uint8_t* bytes, size_t size,
                       std::string& failure) {
    std::string patternText = path + ".tmp-XXXXXX";
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
    return true;
}
