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
    bool paddedAtEnd = false;  // a run-length stream ended early; its last pixel fills the rest

    uint32_t BytesPerPixel() const { return bitsPerPixel / 8; }
};

// Why DecodeTarga refused a file, in the order the header is read.
enum class TargaRefusal : uint8_t {
    None,
    ShortHeader,
    IdField,
    ColourMap,
    NotTrueColour,
    Origin,
    ZeroSide,
    SideTooLarge,
    Depth,
    ShortPixels,
};

// One line for a modder: what is wrong with the file and how to save it instead.
const char* TargaRefusalText(TargaRefusal refusal);

// Decodes a whole TGA file held in memory. False for any other header, a zero side, a side
// above TargaLargestSide, a depth other than 24 or 32, or uncompressed pixel data that is
// short; `why`, when given, then says which. A run-length stream that ends early is padded
// with its last pixel (and says so in paddedAtEnd), and a packet that would run past the last
// pixel is cut there.
bool DecodeTarga(const uint8_t* bytes, size_t size, TargaPixels& out, TargaRefusal* why = nullptr);

// Encodes pixels (rows in texture order) as a TGA file. topFirst only sets the descriptor bit
// that tells other programs the rows run top to bottom; the game itself ignores it.
std::vector<uint8_t> EncodeTarga(const TargaPixels& image, TargaForm form, bool topFirst);
