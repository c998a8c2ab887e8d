#include "render/BundleFile.h"

#include <algorithm>
#include <cstring>

namespace {

// The two fixed masks of the header scramble.
constexpr uint8_t FirstMask = 0xA7;
constexpr uint8_t SecondMask = 0x3C;

// Pixels repeated around each packed picture.
constexpr uint32_t PackingGutter = 4;

constexpr size_t EntryFixedBytes = 4 + 16;  // nameLength and the four indices
constexpr size_t FreeRectBytes = 17;

void XorAll(uint8_t* block, size_t size, uint8_t mask) {
    for (size_t i = 0; i < size; ++i) {
        block[i] ^= mask;
    }
}

// The three chained XOR steps each take their sources from bytes they never change, so each is
// its own inverse.
void XorPairs(uint8_t* block, size_t size) {
    for (size_t i = 0; i + 1 < size; i += 2) {
        block[i + 1] ^= block[i];
    }
}

void XorBackwardsByFive(uint8_t* block, size_t size) {
    for (size_t k = size - 1; k >= 4; k -= 5) {
        block[k - 4] ^= block[k - 1];
        if (k < 5) {
            break;
        }
    }
}

void XorTriples(uint8_t* block, size_t size) {
    for (size_t i = 0; i + 2 < size; i += 3) {
        block[i + 2] ^= block[i];
    }
}

// Turns the block as one bit string (byte 0 first, most significant bit first) by two bits.
void RotateRightTwoBits(uint8_t* block, size_t size) {
    uint8_t carry = static_cast<uint8_t>(block[size - 1] & 3);
    for (size_t i = 0; i < size; ++i) {
        uint8_t low = static_cast<uint8_t>(block[i] & 3);
        block[i] = static_cast<uint8_t>((block[i] >> 2) | (carry << 6));
        carry = low;
    }
}

void RotateLeftTwoBits(uint8_t* block, size_t size) {
    uint8_t carry = static_cast<uint8_t>(block[0] >> 6);
    for (size_t i = size; i-- > 0;) {
        uint8_t high = static_cast<uint8_t>(block[i] >> 6);
        block[i] = static_cast<uint8_t>((block[i] << 2) | carry);
        carry = high;
    }
}

// Reads little-endian values from a byte range, refusing to step past its end.
class ByteReader {
public:
    ByteReader(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}

    bool Read32(uint32_t& value) {
        if (Remaining() < 4) {
            return false;
        }
        value = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                (static_cast<uint32_t>(bytes[at + 3]) << 24);
        at += 4;
        return true;
    }
    bool Read8(uint8_t& value) {
        if (Remaining() < 1) {
            return false;
        }
        value = bytes[at++];
        return true;
    }
    bool ReadBytes(size_t count, const uint8_t*& start) {
        if (Remaining() < count) {
            return false;
        }
        start = bytes + at;
        at += count;
        return true;
    }
    size_t Remaining() const { return size - at; }

private:
    const uint8_t* bytes;
    size_t size;
    size_t at = 0;
};

void Append32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

bool ParseHeaderBlock(const uint8_t* block, size_t size, BundleContents& out) {
    ByteReader reader(block, size);
    uint8_t mipmapped = 0;
    uint32_t entryCount = 0;
    if (!reader.Read32(out.components) || !reader.Read8(mipmapped) || !reader.Read32(out.width) ||
        !reader.Read32(out.height) || !reader.Read32(entryCount)) {
        return false;
    }
    out.mipmapped = mipmapped != 0;
    if ((out.components != 3 && out.components != 4) || out.width < 2 || out.height < 2 ||
        out.width > BundleLargestSide || out.height > BundleLargestSide) {
        return false;
    }
    if (entryCount > reader.Remaining() / EntryFixedBytes) {
        return false;
    }
    out.entries.reserve(entryCount);
    for (uint32_t i = 0; i < entryCount; ++i) {
        BundleEntry entry;
        uint32_t nameLength = 0;
        const uint8_t* name = nullptr;
        if (!reader.Read32(nameLength) || !reader.ReadBytes(nameLength, name) ||
            !reader.Read32(entry.x0) || !reader.Read32(entry.y0) || !reader.Read32(entry.x1) ||
            !reader.Read32(entry.y1)) {
            return false;
        }
        if (entry.x0 >= out.width || entry.x1 >= out.width || entry.y0 >= out.height ||
            entry.y1 >= out.height) {
            return false;
        }
        entry.name.assign(reinterpret_cast<const char*>(name), nameLength);
        out.entries.push_back(std::move(entry));
    }
    uint32_t freeCount = 0;
    if (!reader.Read32(freeCount) || freeCount > reader.Remaining() / FreeRectBytes) {
        return false;
    }
    out.freeRects.resize(freeCount);
    for (FreeRect& rect : out.freeRects) {
        reader.Read32(rect.width);
        reader.Read32(rect.height);
        reader.Read32(rect.x);
        reader.Read32(rect.y);
        reader.Read8(rect.available);
    }
    return true;
}

bool DecodeRuns(ByteReader& reader, BundleContents& out) {
    size_t pixelSize = out.components;
    size_t pixelCount = static_cast<size_t>(out.width) * out.height;
    out.pixels.resize(pixelCount * pixelSize);
    uint8_t* to = out.pixels.data();
    size_t written = 0;
    while (written < pixelCount) {
        uint32_t runLength = 0;
        const uint8_t* pixel = nullptr;
        if (!reader.Read32(runLength) || !reader.ReadBytes(pixelSize, pixel) ||
            runLength > pixelCount - written) {
            return false;
        }
        for (uint32_t i = 0; i < runLength; ++i, to += pixelSize) {
            std::memcpy(to, pixel, pixelSize);
        }
        written += runLength;
    }
    return true;
}

// Copies a picture into the atlas at (x, y) and repeats its edge pixels gutter pixels outward.
void PlacePicture(const BundlePicture& picture, uint32_t x, uint32_t y, BundleContents& atlas) {
    for (int64_t row = -static_cast<int64_t>(PackingGutter);
         row < static_cast<int64_t>(picture.height + PackingGutter); ++row) {
        int64_t sourceRow = std::clamp<int64_t>(row, 0, picture.height - 1);
        for (int64_t column = -static_cast<int64_t>(PackingGutter);
             column < static_cast<int64_t>(picture.width + PackingGutter); ++column) {
            int64_t sourceColumn = std::clamp<int64_t>(column, 0, picture.width - 1);
            const uint8_t* from = picture.pixels.data() +
                                  (sourceRow * picture.width + sourceColumn) * picture.components;
            uint8_t* to =
                atlas.pixels.data() + ((y + row) * atlas.width + (x + column)) * atlas.components;
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = picture.components == 4 ? from[3] : 255;
        }
    }
}

}  // namespace

void TransformBundleHeader(uint8_t* block, size_t size, ScrambleDirection direction) {
    if (size < 2) {
        return;
    }
    if (direction == ScrambleDirection::Descramble) {
        XorAll(block, size, FirstMask);
        XorPairs(block, size);
        XorBackwardsByFive(block, size);
        XorTriples(block, size);
        RotateRightTwoBits(block, size);
        XorAll(block, size, SecondMask);
    } else {
        XorAll(block, size, SecondMask);
        RotateLeftTwoBits(block, size);
        XorTriples(block, size);
        XorBackwardsByFive(block, size);
        XorPairs(block, size);
        XorAll(block, size, FirstMask);
    }
}

bool ParseBundle(const uint8_t* bytes, size_t size, BundleContents& out) {
    out = BundleContents{};
    ByteReader reader(bytes, size);
    uint32_t headerSize = 0;
    const uint8_t* scrambled = nullptr;
    if (!reader.Read32(headerSize) || headerSize == 0 || !reader.ReadBytes(headerSize, scrambled)) {
        return false;
    }
    std::vector<uint8_t> block(scrambled, scrambled + headerSize);
    TransformBundleHeader(block.data(), block.size(), ScrambleDirection::Descramble);
    uint32_t pixelDataSize = 0;
    bool valid = ParseHeaderBlock(block.data(), block.size(), out) && reader.Read32(pixelDataSize);
    uint64_t needed = static_cast<uint64_t>(out.width) * out.height * out.components;
    valid = valid && pixelDataSize >= needed && DecodeRuns(reader, out);
    if (!valid) {
        out = BundleContents{};
    }
    return valid;
}

const BundleEntry* FindBundleEntry(const std::vector<BundleEntry>& entries, const char* name) {
    for (const BundleEntry& entry : entries) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

std::vector<uint8_t> WriteBundle(const BundleContents& contents) {
    std::vector<uint8_t> block;
    Append32(block, contents.components);
    block.push_back(contents.mipmapped ? 1 : 0);
    Append32(block, contents.width);
    Append32(block, contents.height);
    Append32(block, static_cast<uint32_t>(contents.entries.size()));
    for (const BundleEntry& entry : contents.entries) {
        Append32(block, static_cast<uint32_t>(entry.name.size()));
        block.insert(block.end(), entry.name.begin(), entry.name.end());
        for (uint32_t value : {entry.x0, entry.y0, entry.x1, entry.y1}) {
            Append32(block, value);
        }
    }
    Append32(block, static_cast<uint32_t>(contents.freeRects.size()));
    for (const FreeRect& rect : contents.freeRects) {
        for (uint32_t value : {rect.width, rect.height, rect.x, rect.y}) {
            Append32(block, value);
        }
        block.push_back(rect.available);
    }
    TransformBundleHeader(block.data(), block.size(), ScrambleDirection::Scramble);

    std::vector<uint8_t> out;
    Append32(out, static_cast<uint32_t>(block.size()));
    out.insert(out.end(), block.begin(), block.end());
    Append32(out, static_cast<uint32_t>(contents.pixels.size()));
    size_t pixelSize = contents.components;
    size_t pixelCount = contents.pixels.size() / pixelSize;
    const uint8_t* pixels = contents.pixels.data();
    for (size_t at = 0; at < pixelCount;) {
        size_t run = 1;
        while (at + run < pixelCount && run < UINT32_MAX &&
               std::memcmp(pixels + at * pixelSize, pixels + (at + run) * pixelSize, pixelSize) ==
                   0) {
            ++run;
        }
        Append32(out, static_cast<uint32_t>(run));
        out.insert(out.end(), pixels + at * pixelSize, pixels + (at + 1) * pixelSize);
        at += run;
    }
    return out;
}

bool PackBundle(const std::vector<BundlePicture>& pictures, uint32_t width, uint32_t height,
                bool mipmapped, BundleContents& out, std::string& error) {
    out = BundleContents{};
    out.components = 4;
    out.mipmapped = mipmapped;
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<size_t>(width) * height * 4, 0);
    out.entries.resize(pictures.size());
    out.freeRects.push_back(FreeRect{width, height, 0, 0, 1});

    std::vector<size_t> order(pictures.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return pictures[a].height > pictures[b].height ||
               (pictures[a].height == pictures[b].height && pictures[a].width > pictures[b].width);
    });
    for (size_t index : order) {
        const BundlePicture& picture = pictures[index];
        uint64_t slotWidth = uint64_t{picture.width} + 2 * PackingGutter;
        uint64_t slotHeight = uint64_t{picture.height} + 2 * PackingGutter;
        size_t best = out.freeRects.size();
        uint64_t bestWaste = UINT64_MAX;
        for (size_t i = 0; i < out.freeRects.size(); ++i) {
            const FreeRect& rect = out.freeRects[i];
            if (rect.width >= slotWidth && rect.height >= slotHeight) {
                uint64_t waste = std::min(rect.width - slotWidth, rect.height - slotHeight);
                if (waste < bestWaste) {
                    best = i;
                    bestWaste = waste;
                }
            }
        }
        if (picture.width == 0 || picture.height == 0 || best == out.freeRects.size()) {
            error = "picture " + picture.name + " does not fit into the " + std::to_string(width) +
                    " x " + std::to_string(height) + " atlas";
            out = BundleContents{};
            return false;
        }
        FreeRect used = out.freeRects[best];
        out.freeRects.erase(out.freeRects.begin() + best);
        uint32_t x = used.x + PackingGutter;
        uint32_t y = used.y + PackingGutter;
        PlacePicture(picture, x, y, out);
        out.entries[index] = BundleEntry{picture.name, x, y, x + picture.width, y + picture.height};
        // Split what is left of the rectangle along the shorter leftover side.
        uint32_t rightWidth = used.width - static_cast<uint32_t>(slotWidth);
        uint32_t topHeight = used.height - static_cast<uint32_t>(slotHeight);
        FreeRect right{rightWidth, 0, used.x + static_cast<uint32_t>(slotWidth), used.y, 1};
        FreeRect top{0, topHeight, used.x, used.y + static_cast<uint32_t>(slotHeight), 1};
        if (rightWidth < topHeight) {
            right.height = static_cast<uint32_t>(slotHeight);
            top.width = used.width;
        } else {
            right.height = used.height;
            top.width = static_cast<uint32_t>(slotWidth);
        }
        for (const FreeRect& rect : {right, top}) {
            if (rect.width > 0 && rect.height > 0) {
                out.freeRects.push_back(rect);
            }
        }
    }
    return true;
}
