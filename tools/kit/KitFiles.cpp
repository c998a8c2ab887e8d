#include "tools/kit/KitFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/AssetFiles.h"
#include "platform/System.h"

bool ReadKitFile(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* file = OpenFile(path, "rb");
    if (file == nullptr) {
        return false;
    }
    bool read = ReadWholeStream(file, bytes);
    std::fclose(file);
    return read;
}

bool WriteKitFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = OpenFile(path, "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void OpenPlainFile(const char* name, const char* mode, FILE** out) {
    *out = OpenFile(name, mode);
}

std::vector<uint8_t> EncodePam(uint32_t width, uint32_t height, uint32_t components,
                               const uint8_t* pixels) {
    std::string header = "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " +
                         std::to_string(height) + "\nDEPTH " + std::to_string(components) +
                         "\nMAXVAL 255\nTUPLTYPE " + (components == 4 ? "RGB_ALPHA" : "RGB") +
                         "\nENDHDR\n";
    std::vector<uint8_t> out(header.begin(), header.end());
    out.insert(out.end(), pixels, pixels + static_cast<size_t>(width) * height * components);
    return out;
}

namespace {

// The header of a PAM file: "P7", then lines of a keyword and a value, ending with "ENDHDR".
struct PamHeader {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t depth = 0;
    uint32_t maxval = 0;
    std::string tupleType;
};

// A whole decimal number of at most nine digits (so it fits in 32 bits).
bool ParseCount(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

// Reads the header lines; `at` is left on the first pixel byte.
bool ParsePamHeader(const std::vector<uint8_t>& bytes, size_t& at, PamHeader& header,
                    std::string& error) {
    const std::string magic = "P7\n";
    if (bytes.size() < magic.size() || !std::equal(magic.begin(), magic.end(), bytes.begin())) {
        error = "not a PAM file (no P7 line)";
        return false;
    }
    at = magic.size();
    while (at < bytes.size()) {
        size_t end = at;
        while (end < bytes.size() && bytes[end] != '\n') {
            ++end;
        }
        if (end == bytes.size()) {
            break;
        }
        std::string line(bytes.begin() + at, bytes.begin() + end);
        at = end + 1;
        size_t space = line.find(' ');
        std::string keyword = line.substr(0, space);
        std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        bool understood = true;
        if (line.empty() || line[0] == '#') {
            continue;
        } else if (keyword == "ENDHDR") {
            return true;
        } else if (keyword == "WIDTH") {
            understood = ParseCount(value, header.width);
        } else if (keyword == "HEIGHT") {
            understood = ParseCount(value, header.height);
        } else if (keyword == "DEPTH") {
            understood = ParseCount(value, header.depth);
        } else if (keyword == "MAXVAL") {
            understood = ParseCount(value, header.maxval);
        } else if (keyword == "TUPLTYPE") {
            header.tupleType = value;
        } else {
            understood = false;
        }
        if (!understood) {
            error = "PAM header line '" + line.substr(0, 40) + "' is not understood";
            return false;
        }
    }
    error = "PAM header has no ENDHDR line";
    return false;
}

}  // namespace

bool DecodePam(const std::vector<uint8_t>& bytes, TargaPixels& out, std::string& error) {
    size_t at = 0;
    PamHeader header;
    if (!ParsePamHeader(bytes, at, header, error)) {
        return false;
    }
    bool knownType =
        header.tupleType.empty() || header.tupleType == (header.depth == 4 ? "RGB_ALPHA" : "RGB");
    if ((header.depth != 3 && header.depth != 4) || header.maxval != 255 || !knownType) {
        error = "PAM image is not RGB or RGB_ALPHA with a MAXVAL of 255";
        return false;
    }
    if (header.width == 0 || header.height == 0 || header.width > TargaLargestSide ||
        header.height > TargaLargestSide) {
        error = "PAM image of " + std::to_string(header.width) + " x " +
                std::to_string(header.height) + " pixels; the game reads sides of 1 to " +
                std::to_string(TargaLargestSide);
        return false;
    }
    // At most 8192 x 8192 x 4 bytes, well inside size_t.
    size_t size = static_cast<size_t>(header.width) * header.height * header.depth;
    if (bytes.size() - at < size) {
        error = "PAM pixel data is cut short (the file is truncated)";
        return false;
    }
    out.width = header.width;
    out.height = header.height;
    out.bitsPerPixel = header.depth * 8;
    out.pixels.assign(bytes.begin() + at, bytes.begin() + at + size);
    return true;
}
