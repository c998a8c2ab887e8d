#include "tools/kit/KitFiles.h"

#include <cstdio>

#include "app/AssetFiles.h"

bool ReadKitFile(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bool read = ReadWholeStream(file, bytes);
    std::fclose(file);
    return read;
}

bool WriteKitFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void OpenPlainFile(const char* name, const char* mode, FILE** out) {
    *out = std::fopen(name, mode);
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
