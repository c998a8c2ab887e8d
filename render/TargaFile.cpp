#include "render/TargaFile.h"

#include <algorithm>
#include <cstring>

namespace {

// Where the fields of the header lie: ID length, colour-map type, image type, colour-map fields
// (first entry, length, entry size), x-origin and y-origin, then the sides, depth and descriptor.
constexpr size_t IdLengthAt = 0;
constexpr size_t ColourMapTypeAt = 1;
constexpr size_t ImageTypeAt = 2;
constexpr size_t ColourMapFieldsAt = 3;
constexpr size_t OriginAt = 8;
constexpr size_t WidthAt = 12;
constexpr size_t HeightAt = 14;
constexpr size_t DepthAt = 16;
constexpr size_t LongestPacket = 128;

bool AllZero(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

// The first 12 bytes must be zero but for the image type, which is one of the two forms read.
TargaRefusal HeaderRefusal(const uint8_t* bytes) {
    if (bytes[IdLengthAt] != 0) {
        return TargaRefusal::IdField;
    }
    if (bytes[ColourMapTypeAt] != 0 ||
        !AllZero(bytes + ColourMapFieldsAt, OriginAt - ColourMapFieldsAt)) {
        return TargaRefusal::ColourMap;
    }
    uint8_t type = bytes[ImageTypeAt];
    if (type != static_cast<uint8_t>(TargaForm::Uncompressed) &&
        type != static_cast<uint8_t>(TargaForm::RunLength)) {
        return TargaRefusal::NotTrueColour;
    }
    if (!AllZero(bytes + OriginAt, WidthAt - OriginAt)) {
        return TargaRefusal::Origin;
    }
    return TargaRefusal::None;
}

uint32_t ReadLittle16(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8);
}

// Copies count pixels from file order (blue, green, red[, alpha]) to texture order.
template <size_t Bytes>
void SwapToTextureOrder(const uint8_t* from, uint8_t* to, size_t count) {
    for (size_t i = 0; i < count; ++i, from += Bytes, to += Bytes) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
        if constexpr (Bytes == 4) {
            to[3] = from[3];
        }
    }
}

// Copies count pixels from file order to texture order, the fast way: four-byte pixels two at a
// time as one 64-bit word, three-byte pixels with the byte copy.
template <size_t Bytes>
void CopyToTextureOrder(const uint8_t* from, uint8_t* to, size_t count) {
    if constexpr (Bytes == 4) {
        constexpr uint64_t Kept = 0xFF00FF00FF00FF00ull;
        constexpr uint64_t Low = 0x000000FF000000FFull;
        size_t i = 0;
        for (; i + 2 <= count; i += 2) {
            uint64_t value;
            std::memcpy(&value, from + i * 4, 8);
            value = (value & Kept) | ((value >> 16) & Low) | ((value & Low) << 16);
            std::memcpy(to + i * 4, &value, 8);
        }
        SwapToTextureOrder<4>(from + i * 4, to + i * 4, count - i);
    } else {
        SwapToTextureOrder<3>(from, to, count);
    }
}

// Writes one texture-order pixel count times.
template <size_t Bytes>
void RepeatPixel(const uint8_t* pixel, uint8_t* to, size_t count) {
    if constexpr (Bytes == 4) {
        uint32_t value;
        std::memcpy(&value, pixel, 4);
        for (size_t i = 0; i < count; ++i, to += 4) {
            std::memcpy(to, &value, 4);
        }
    } else {
        for (size_t i = 0; i < count; ++i, to += 3) {
            to[0] = pixel[0];
            to[1] = pixel[1];
            to[2] = pixel[2];
        }
    }
}

// Decodes packets until pixelCount pixels are written. Past the end of the data each missing
// header counts as a one-pixel raw packet whose pixel read finds nothing, so the last pixel read
// (in file order, in `last`) is repeated: a cut-off file still fills its image. True when the
// data ran out before the last pixel.
template <size_t Bytes>
bool DecodeRunLength(const uint8_t* data, size_t size, uint8_t* out, size_t pixelCount) {
    uint8_t last[4] = {0, 0, 0, 0};
    uint8_t lastSwapped[4] = {0, 0, 0, 0};
    size_t at = 0;
    size_t produced = 0;
    bool ranShort = false;
    auto readPixel = [&]() {
        size_t available = std::min(Bytes, size - at);
        ranShort = ranShort || available < Bytes;
        std::memcpy(last, data + at, available);
        at += available;
        SwapToTextureOrder<Bytes>(last, lastSwapped, 1);
    };
    while (produced < pixelCount) {
        ranShort = ranShort || at >= size;
        uint8_t header = at < size ? data[at++] : 0;
        size_t count =
            std::min<size_t>(header < 128 ? header + 1u : header - 127u, pixelCount - produced);
        uint8_t* to = out + produced * Bytes;
        if (header >= 128) {
            readPixel();
            RepeatPixel<Bytes>(lastSwapped, to, count);
        } else {
            size_t whole = std::min(count, (size - at) / Bytes);
            if (whole > 0) {
                CopyToTextureOrder<Bytes>(data + at, to, whole);
                at += whole * Bytes;
                std::memcpy(last, data + at - Bytes, Bytes);
                SwapToTextureOrder<Bytes>(last, lastSwapped, 1);
            }
            for (size_t i = whole; i < count; ++i) {
                readPixel();
                RepeatPixel<Bytes>(lastSwapped, to + i * Bytes, 1);
            }
        }
        produced += count;
    }
    return ranShort;
}

// Appends one row of texture-order pixels as run-length packets that stay inside the row.
template <size_t Bytes>
void EncodeRow(const uint8_t* row, size_t width, std::vector<uint8_t>& out) {
    auto same = [&](size_t a, size_t b) {
        return std::memcmp(row + a * Bytes, row + b * Bytes, Bytes) == 0;
    };
    auto appendPixel = [&](size_t index) {
        const uint8_t* pixel = row + index * Bytes;
        out.push_back(pixel[2]);
        out.push_back(pixel[1]);
        out.push_back(pixel[0]);
        if constexpr (Bytes == 4) {
            out.push_back(pixel[3]);
        }
    };
    size_t x = 0;
    while (x < width) {
        size_t run = 1;
        while (x + run < width && run < LongestPacket && same(x, x + run)) {
            ++run;
        }
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(127 + run));
            appendPixel(x);
            x += run;
            continue;
        }
        // A raw packet runs until two equal neighbours start a run.
        size_t raw = 1;
        while (x + raw < width && raw < LongestPacket &&
               !(x + raw + 1 < width && same(x + raw, x + raw + 1))) {
            ++raw;
        }
        out.push_back(static_cast<uint8_t>(raw - 1));
        for (size_t i = 0; i < raw; ++i) {
            appendPixel(x + i);
        }
        x += raw;
    }
}

}  // namespace

const char* TargaRefusalText(TargaRefusal refusal) {
    switch (refusal) {
        case TargaRefusal::None:
            return "decodes";
        case TargaRefusal::ShortHeader:
            return "file is shorter than the 18-byte Targa header";
        case TargaRefusal::IdField:
            return "image ID field is not empty (the game reads none; save without an ID or "
                   "comment field)";
        case TargaRefusal::ColourMap:
            return "colour map is present (the game reads true colour only; save as 24- or "
                   "32-bit RGB)";
        case TargaRefusal::NotTrueColour:
            return "image type is not true colour (grey-scale and colour-mapped pictures are "
                   "refused; save as 24- or 32-bit RGB, uncompressed or run-length)";
        case TargaRefusal::Origin:
            return "origin field is not zero (the game takes rows bottom-up; save with a "
                   "bottom-left origin)";
        case TargaRefusal::ZeroSide:
            return "width or height is 0";
        case TargaRefusal::SideTooLarge:
            return "width or height is above 8192 pixels";
        case TargaRefusal::Depth:
            return "pixel depth is not 24 or 32 bits (16-bit and 8-bit pictures are refused; "
                   "save as 24- or 32-bit RGB)";
        case TargaRefusal::ShortPixels:
            return "pixel data is cut short (the file is truncated)";
    }
    return "refused";
}

bool DecodeTarga(const uint8_t* bytes, size_t size, TargaPixels& out, TargaRefusal* why) {
    auto report = [why](TargaRefusal refusal) {
        if (why != nullptr) {
            *why = refusal;
        }
        return refusal == TargaRefusal::None;
    };
    if (size < TargaHeaderSize) {
        return report(TargaRefusal::ShortHeader);
    }
    TargaRefusal header = HeaderRefusal(bytes);
    if (header != TargaRefusal::None) {
        return report(header);
    }
    bool runLength = bytes[ImageTypeAt] == static_cast<uint8_t>(TargaForm::RunLength);
    uint32_t width = ReadLittle16(bytes + WidthAt);
    uint32_t height = ReadLittle16(bytes + HeightAt);
    uint32_t depth = bytes[DepthAt];
    if (width == 0 || height == 0) {
        return report(TargaRefusal::ZeroSide);
    }
    if (width > TargaLargestSide || height > TargaLargestSide) {
        return report(TargaRefusal::SideTooLarge);
    }
    if (depth != 24 && depth != 32) {
        return report(TargaRefusal::Depth);
    }
    // At most 8192 x 8192 x 4 bytes: the product fits easily in 64 bits and in size_t.
    size_t pixelCount = static_cast<size_t>(width) * height;
    size_t byteSize = pixelCount * (depth / 8);
    const uint8_t* data = bytes + TargaHeaderSize;
    size_t dataSize = size - TargaHeaderSize;
    if (!runLength && dataSize < byteSize) {
        return report(TargaRefusal::ShortPixels);
    }
    out.width = width;
    out.height = height;
    out.bitsPerPixel = depth;
    out.pixels.resize(byteSize);
    out.paddedAtEnd = false;
    if (!runLength) {
        if (depth == 24) {
            CopyToTextureOrder<3>(data, out.pixels.data(), pixelCount);
        } else {
            CopyToTextureOrder<4>(data, out.pixels.data(), pixelCount);
        }
    } else if (depth == 24) {
        out.paddedAtEnd = DecodeRunLength<3>(data, dataSize, out.pixels.data(), pixelCount);
    } else {
        out.paddedAtEnd = DecodeRunLength<4>(data, dataSize, out.pixels.data(), pixelCount);
    }
    return report(TargaRefusal::None);
}

std::vector<uint8_t> EncodeTarga(const TargaPixels& image, TargaForm form, bool topFirst) {
    std::vector<uint8_t> out(TargaHeaderSize, 0);
    out[2] = static_cast<uint8_t>(form);
    out[12] = static_cast<uint8_t>(image.width & 0xFF);
    out[13] = static_cast<uint8_t>(image.width >> 8);
    out[14] = static_cast<uint8_t>(image.height & 0xFF);
    out[15] = static_cast<uint8_t>(image.height >> 8);
    out[16] = static_cast<uint8_t>(image.bitsPerPixel);
    out[17] = static_cast<uint8_t>((image.bitsPerPixel == 32 ? 8 : 0) |
                                   (topFirst ? TargaTopFirstBit : 0));
    size_t bytesPerPixel = image.BytesPerPixel();
    size_t rowBytes = image.width * bytesPerPixel;
    out.reserve(TargaHeaderSize + rowBytes * image.height);
    for (uint32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = image.pixels.data() + y * rowBytes;
        if (form == TargaForm::RunLength) {
            if (bytesPerPixel == 4) {
                EncodeRow<4>(row, image.width, out);
            } else {
                EncodeRow<3>(row, image.width, out);
            }
        } else {
            size_t at = out.size();
            out.resize(at + rowBytes);
            // Swapping red and blue is its own inverse.
            if (bytesPerPixel == 4) {
                SwapToTextureOrder<4>(row, out.data() + at, image.width);
            } else {
                SwapToTextureOrder<3>(row, out.data() + at, image.width);
            }
        }
    }
    return out;
}
