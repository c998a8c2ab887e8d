#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "render/TargaFile.h"

// Reading and writing whole files for the kit's commands; false on any failure (errno then
// says why a file did not open).
bool ReadKitFile(const std::string& path, std::vector<uint8_t>& bytes);
bool WriteKitFile(const std::string& path, const std::vector<uint8_t>& bytes);

// The file-open hook for the game's loaders in the kit, which names files by their own paths
// rather than below the game's asset folder.
void OpenPlainFile(const char* name, const char* mode, FILE** out);

// A PAM image (P7) of RGB or RGB_ALPHA tuples, rows written in the order given.
std::vector<uint8_t> EncodePam(uint32_t width, uint32_t height, uint32_t components,
                               const uint8_t* pixels);

// Reads a PAM image of 3 or 4 channels with a MAXVAL of 255, such as EncodePam writes, rows
// kept in file order, sides 1 to TargaLargestSide. False, with the reason, for anything else or
// a file shorter than its header says.
bool DecodePam(const std::vector<uint8_t>& bytes, TargaPixels& out, std::string& error);
