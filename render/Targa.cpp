#include "render/Targa.h"

#include <cstring>

#include "app/AssetFiles.h"
#include "render/TargaFile.h"

namespace {

bool IsPowerOfTwoAboveOne(uint32_t value) {
    return value >= 2 && (value & (value - 1)) == 0;
}

}  // namespace

bool MipmapChainPossible(uint32_t width, uint32_t height) {
    return IsPowerOfTwoAboveOne(width) && IsPowerOfTwoAboveOne(height);
}

Targa::Targa() {
    std::memset(name, 0, sizeof name);
}

Targa::~Targa() {
    if (textureId != NoTexture) {
        glDeleteTextures(1, &textureId);
    }
    std::memset(name, 0, sizeof name);
}

bool Targa::Load(const char* path, bool mipmapped) {
    this->mipmapped = mipmapped;
    size_t pathLength = std::strlen(path);
    if (pathLength >= TargaNameCapacity) {
        return false;
    }
    std::vector<uint8_t> file;
    if (!ReadAssetFile(path, file)) {
        return false;
    }
    std::memset(name, 0, sizeof name);
    std::memcpy(name, path, pathLength);
    TargaPixels decoded;
    if (!DecodeTarga(file.data(), file.size(), decoded)) {
        return false;
    }
    bitsPerPixel = decoded.bitsPerPixel;
    width = decoded.width;
    height = decoded.height;
    byteSize = static_cast<uint32_t>(decoded.pixels.size());
    pixels = std::move(decoded.pixels);
    Upload();
    return true;
}

void Targa::Upload() {
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    int components = bitsPerPixel == 24 ? 3 : 4;
    GLenum format = bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    if (mipmapped) {
        if (BuildMipmaps(components, width, height, format, pixels.data()) == 0) {
            mipmapped = false;
        }
    } else {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, components, width, height, 0, format, GL_UNSIGNED_BYTE,
                     pixels.data());
    }
    pixels.clear();
    pixels.shrink_to_fit();
}

void BindTextureWithFilters(GLuint texture, bool mipmapped) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (mipmapped) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    } else {
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));
    }
}

void Targa::Bind() const {
    BindTextureWithFilters(textureId, mipmapped);
}

void HalveMipLevel(const uint8_t* from, int width, int height, int components, uint8_t* to) {
    int nextWidth = width > 1 ? width / 2 : 1;
    int nextHeight = height > 1 ? height / 2 : 1;
    // Steps between the texels that are averaged: a side of 1 averages with itself only.
    size_t columnStep = width > 1 ? components : 0;
    size_t rowStep = height > 1 ? static_cast<size_t>(width) * components : 0;
    int divisor = (width > 1 ? 2 : 1) * (height > 1 ? 2 : 1);
    for (int y = 0; y < nextHeight; ++y) {
        const uint8_t* row =
            from + static_cast<size_t>(height > 1 ? 2 * y : y) * width * components;
        for (int x = 0; x < nextWidth; ++x) {
            const uint8_t* texel = row + static_cast<size_t>(width > 1 ? 2 * x : x) * components;
            for (int c = 0; c < components; ++c) {
                int sum = texel[c];
                if (columnStep != 0) {
                    sum += texel[columnStep + c];
                }
                if (rowStep != 0) {
                    sum += texel[rowStep + c];
                    if (columnStep != 0) {
                        sum += texel[rowStep + columnStep + c];
                    }
                }
                *to++ = static_cast<uint8_t>(sum / divisor);
            }
        }
    }
}

int BuildMipmaps(int components, int width, int height, GLenum format, const uint8_t* pixels) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, components, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    if (width <= 0 || height <= 0 ||
        !MipmapChainPossible(static_cast<uint32_t>(width), static_cast<uint32_t>(height))) {
        return 0;
    }
    std::vector<uint8_t> work(pixels, pixels + static_cast<size_t>(width) * height * components);
    // GL needs every level down to 1 x 1; a side that reaches 1 first stays 1.
    for (int level = 1; width > 1 || height > 1; ++level) {
        HalveMipLevel(work.data(), width, height, components, work.data());
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        glTexImage2D(GL_TEXTURE_2D, level, components, width, height, 0, format, GL_UNSIGNED_BYTE,
                     work.data());
    }
    return 1;
}
