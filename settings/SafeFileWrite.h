#pragma once
#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <string>

// The operating-system calls by which a file is replaced, and the one that asks beforehand
// whether a folder takes new files, gathered so that tests can make a disk fill up, a folder
// refuse new files (whoever runs them: no permission bits stop root) or the program stop
// half-way. The game never changes them.
struct FileReplaceCalls {
    int (*makeTemporary)(char* pathPattern);                           // mkstemp
    ssize_t (*write)(int descriptor, const void* bytes, size_t size);  // write
    int (*rename)(const char* from, const char* to);                   // rename
    int (*access)(const char* path, int mode);                         // access
};

extern FileReplaceCalls FileReplace;

// The folder part of a path: "." for a bare name, "/" for a name right below the root.
std::string FolderOf(const std::string& path);

// Puts the real calls back into FileReplace.
void UseRealFileReplace();

// Replaces the file at path with the given bytes so that, whatever happens, the path holds
// either the old contents or the new ones in full: the bytes go to a temporary file in the same
// folder, which is flushed to disk, renamed over path, and then the folder itself is flushed.
// When path is a symbolic link (a player may keep the file in a synced folder that way), all of
// this happens at the file the link leads to, and the link stays as it was. A new file gets the
// old file's permissions (0644 when there was none). On failure the old file is untouched, the
// temporary file is removed, and failure names what went wrong. After a save that succeeded,
// temporary files of this path older than a minute, left by saves that were killed, are removed.
bool ReplaceFileSafely(const std::string& path, const uint8_t* bytes, size_t size,
                       std::string& failure);
