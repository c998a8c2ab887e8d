#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The Targa (TGA) file forms the game reads and the forge writes: true colour, 24 or 32 bits,
// uncompressed or run-length encoded, no image ID, no colour map, origin (0, 0).

constexpr size_t TargaHeaderSize = 18;
constexpr uint32_t TargaLargestSide = 8192;  // bigger images are refused before any allocation
constexpr uint8_t TargaTopFirstBit = 0x20;   // image descriptor: rows stored top row first

enum class TargaForm : uint8_t {
    Uncompressed = 2,
    RunLength = 10,
};

// Decoded pixels: RGB or RGBA bytes, no row padding, rows in the order the file stores them
// (which is the order the texture receives them: the first row becomes the bottom row).
struct TargaPixels {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;  // 24 or 32
    std::vector<uint8_t> pixels;

    uint32_t BytesPerPixel() const { return bitsPerPixel / 8; }
};

// Decodes a whole TGA file held in memory. False for any other header, a zero side, a side
// above TargaLargestSide, a depth other than 24 or 32, or uncompressed pixel data that is
// short. A run-length stream that ends early is padded with its last pixel, and a packet that
// would run past the last pixel is cut there.
bool DecodeTarga(const uint8_t* bytes, size_t size, TargaPixels& out);

// Encodes pixels (rows in texture order) as a TGA file. topFirst only sets the descriptor bit
// that tells other programs the rows run top to bottom; the game itself ignores it.
std::vector<uint8_t> EncodeTarga(const TargaPixels& image, TargaForm form, bool topFirst);
