#pragma once
#include <sys/types.h>
#include <cstddef>

// The calls by which a file is replaced, and the one that asks whether a folder takes new
// files, gathered so that tests can make a disk fill up, a folder refuse new files (whoever runs
// them: no permission bits stop root) or the program stop half-way. The game never changes them.
struct FileReplaceCalls {
    int (*makeTemporary)(char* pathPattern);                           // mkstemp
    ssize_t (*write)(int descriptor, const void* bytes, size_t size);  // write
    int (*rename)(const char* from, const char* to);                   // rename
    int (*access)(const char* path, int mode);                         // access
};

extern FileReplaceCalls FileReplace;

// Puts the real calls back into FileReplace.
void UseRealFileReplace();
