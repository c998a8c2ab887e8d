#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/TargaFile.h"

// True when the bytes begin with the PNG signature.
bool IsPng(const std::vector<uint8_t>& file);

// Decodes any PNG (grey, palette, 1 to 16 bits, with or without alpha, interlaced or not) to
// 8-bit RGB, or RGBA when it has alpha or a tRNS chunk, rows from the bottom up as the texture
// takes them, sides 1 to TargaLargestSide. A file that says nothing of its gamma or colour space
// keeps its stored sample values at every depth (16 bits are scaled to 8 with rounding); one
// that states a gamma other than sRGB's is converted to sRGB. False, with the reason, for a
// damaged file.
bool DecodePng(const std::vector<uint8_t>& file, TargaPixels& out, std::string& error);
