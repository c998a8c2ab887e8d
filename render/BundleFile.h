#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The texture bundle file: one atlas picture, the named pictures inside it and the atlas's free
// rectangles. All integers are 32-bit little-endian:
//   headerSize, header block (scrambled), pixelDataSize, pixel runs to the end.
// The header block holds components (4), mipmapped (1), width (4), height (4), entryCount (4),
// the entries (nameLength, name, x0, y0, x1, y1), freeCount (4) and the free rectangles
// (width, height, x, y, available byte). A pixel run is a count (4) and one pixel.

// A named picture in the atlas: columns x0 to x1 and rows y0 (bottom) to y1 (top) as indices
// into the coordinate tables, so the picture covers pixels x0..x1-1 and y0..y1-1.
struct BundleEntry {
    std::string name;
    uint32_t x0 = 0;
    uint32_t y0 = 0;
    uint32_t x1 = 0;
    uint32_t y1 = 0;
};

// Space in the atlas that no picture uses; kept with the bundle for tools that add pictures.
struct FreeRect {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    uint8_t available = 1;
};

// Everything a bundle file holds, decoded. Pixels are RGB or RGBA rows from the bottom up.
struct BundleContents {
    uint32_t components = 4;
    bool mipmapped = false;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<BundleEntry> entries;
    std::vector<FreeRect> freeRects;
    std::vector<uint8_t> pixels;
};

constexpr uint32_t BundleLargestSide = 8192;

// The reader and the writer run the same steps, one way or the other.
enum class ScrambleDirection { Scramble, Descramble };

// Scrambles or descrambles a header block in place; blocks shorter than 2 bytes stay as they are.
void TransformBundleHeader(uint8_t* block, size_t size, ScrambleDirection direction);

// Decodes a whole bundle file held in memory. False, with out left empty, when any count,
// name, rectangle or run does not fit what the file really holds: a zero or short header
// block, counts the block cannot hold, components other than 3 or 4, a side of 0, 1 or above
// BundleLargestSide, an entry outside the atlas, a pixelDataSize below width x height x
// components, or runs that end early or run past the last pixel.
bool ParseBundle(const uint8_t* bytes, size_t size, BundleContents& out);

// The first entry named exactly `name` (case included), or null.
const BundleEntry* FindBundleEntry(const std::vector<BundleEntry>& entries, const char* name);

// Encodes contents as a bundle file (header block scrambled, pixels as runs).
std::vector<uint8_t> WriteBundle(const BundleContents& contents);

// One picture to pack: RGB or RGBA rows from the bottom up.
struct BundlePicture {
    std::string name;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t components = 4;
    std::vector<uint8_t> pixels;
};

// Packs pictures into a width x height RGBA atlas, largest first, each in the free rectangle
// that fits it most tightly, with a gutter of repeated edge pixels around it so filtering never
// reaches a neighbour. Entries keep the order of `pictures`; the free rectangles are the space
// left. False with a message when a picture does not fit.
bool PackBundle(const std::vector<BundlePicture>& pictures, uint32_t width, uint32_t height,
                bool mipmapped, BundleContents& out, std::string& error);
