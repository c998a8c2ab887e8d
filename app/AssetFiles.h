#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

// Every file of the game is read from the asset root: the folder of the running executable
// followed by "base/". Loaders name files by paths relative to it, such as
// "textures/gameplay/summary.tga", always with '/' between folders.

constexpr size_t AssetPathCapacity = 1024;  // bytes, terminating zero included

extern char AssetRoot[AssetPathCapacity];  // executable folder + "base/"
extern uint16_t AssetRootLength;           // length of the executable folder part
extern char AssetPath[AssetPathCapacity];  // the path most recently built by OpenAssetFile

// The file opener every loader goes through; null while no asset root is set.
using FileOpenHookFunction = void (*)(const char* name, const char* mode, FILE** out);
extern FileOpenHookFunction FileOpenHook;

// Builds the asset root from the running executable and installs OpenAssetFile as the hook.
// False when the executable's path cannot be read or the root would not fit.
bool SetUpAssetRoot();

// The same from a given executable path; tests and tools use it directly.
bool SetUpAssetRootFrom(const char* executablePath);

// Writes AssetRoot + name, zero-filled, into path. False, with path untouched, when the full
// path and its terminating zero would not fit in AssetPathCapacity bytes.
bool BuildAssetPath(const char* name, char (&path)[AssetPathCapacity]);

// Opens AssetRoot + name with fopen's mode; *out is null when the path would not fit (errno is
// then ENAMETOOLONG) or the file does not open (errno as fopen left it).
void OpenAssetFile(const char* name, const char* mode, FILE** out);

// Reads a whole asset file through the hook. False when there is no hook, no file, or a read
// error; the decoders then work on the bytes in memory.
bool ReadAssetFile(const char* name, std::vector<uint8_t>& bytes);

// Reads a whole open stream into bytes; false on a read error.
bool ReadWholeStream(FILE* file, std::vector<uint8_t>& bytes);
